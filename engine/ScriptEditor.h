#pragma once

// Inside EditScriptFile: writes blocks into the files that play one script
// and collects what it did into a ScriptEdit.

#include <string>
#include <vector>

#include "ScriptEdit.h"
#include "ScriptFile.h"

class ScriptEditor {
public:
    ScriptEditor(ScriptEdit* edit, const std::string& contents);

    const std::string& Tag() const { return fEdit->tag; }
    const std::string& Contents() const { return fContents; }
    ScriptEdit* Edit() { return fEdit; }

    // Writes the block of `tag` into one file and records the change; a
    // failure is recorded (and noted in the log) and false returned.
    bool Write(ScriptFileChange::Role role, const std::string& path, const std::string& tag,
        const std::string& contents, const ScriptFile::Options& options);
    // The same with the edit's own tag and contents.
    bool Write(
        ScriptFileChange::Role role, const std::string& path, const ScriptFile::Options& options)
    {
        return Write(role, path, Tag(), fContents, options);
    }

    void Note(const std::string& line) { fEdit->notes.push_back(line); }
    void Fail(status_t status, const std::string& path);

private:
    ScriptEdit* fEdit;
    std::string fContents;
};

// The parts of EditScriptFile, one per script (ScriptTargets.cpp and
// ScriptProfiles.cpp).
void EditBootScript(ScriptEditor& editor);
void EditSetupEnvironment(ScriptEditor& editor);
void EditProfile(ScriptEditor& editor);
// Makes login shells read UserSetupEnvironment at `path`.
void WriteProfileHook(ScriptEditor& editor, const std::string& path);
// The header of the system's hook file (/etc/profile.d/brenvik.sh).
extern const char* const kHookFileHeader;

// The user's own files: a courtesy copy before the first edit of a pass.
bool NeedsBackup(const std::string& path);

// The folder of XDG_CONFIG_HOME, and BRENVIK_ROOT + path.
std::string ConfigFolder();
std::string SystemPath(const char* path);
