#pragma once

// Thread control for a whole process (a team, in the platform's words). The
// library offers them; the installer itself does not call them.

#include <OS.h>

// Suspends every thread of the team that is running, ready, asleep or
// waiting, except the calling thread (which would otherwise stop itself
// halfway and leave the rest running). Returns B_OK, or the error of reading
// the team.
status_t lib_suspend_team(const team_id& team);
// Resumes every suspended thread of the team. Returns B_OK, or the error of
// reading the team.
status_t lib_resume_team(const team_id& team);
// The user time of the team's threads, summed, in seconds; 0 when the team
// cannot be read.
long double lib_team_cpu_time(const team_id& team);
