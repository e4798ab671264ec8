#pragma once

// The answers of an installation walked without a window: an answer file that
// an unattended run reads and that a walk (in the window or on the terminal)
// can write, so that one walk on one machine becomes the run on the others.
//
// The file is text, one "key = value" a line; blank lines and lines starting
// with "#" are ignored, spaces around keys and values too. docs/answer-file.md
// describes it for administrators:
//
//   license = accept              required for an unattended run
//   install_type = Full           an install type by name, or
//   file = TarselNotes            one line per file (its name in the list)
//   destination = /opt            absolute; made when missing
//   collisions = keep             replace | keep | rename | fail
//   launch = no                   yes | no
//   language = en                 en fr es de it no sv da nl pt
//
// Reading checks the file alone (keys, values, repeats); Check() then holds
// the answers against the installer's configuration, before anything is
// written.

#include <string>
#include <vector>

#include <SupportDefs.h>
#include <TextIds.h>

class InstallConfig;
class SystemProbe;

struct InstallAnswers {
    enum collision_policy { kCollisionKeep, kCollisionReplace, kCollisionRename, kCollisionFail };

    bool licenseAccepted = false;
    // Empty when the files are named instead.
    std::string installType;
    std::vector<std::string> files;
    std::string destination;
    collision_policy collisions = kCollisionKeep;
    bool launch = false;
    // Empty: the language the installer would choose itself.
    std::string language;

    // What is wrong with a file or with the answers: the key (or the path)
    // it concerns, the line (0 when the problem is not on one line), and
    // the text that says what (a TextId, a format of `detail` when it has
    // one).
    struct Problem {
        std::string key;
        int line = 0;
        int32 text = 0;
        std::string detail;
        bool empty() const { return text == 0; }
    };

    // Parses answer-file text. A problem leaves *answers as far as it got.
    static Problem Parse(const std::string& text, InstallAnswers* answers);
    // Reads and parses a file (at most kMaxFileSize bytes).
    static Problem Read(const std::string& path, InstallAnswers* answers);
    static constexpr size_t kMaxFileSize = 1 << 20;

    // The answers as an answer file, the form Parse reads back.
    std::string Text() const;
    // Writes Text() to path (replacing a file there, never through a link).
    status_t Write(const std::string& path) const;

    static const char* CollisionName(collision_policy policy);
};

// Holds answers against a configuration: marks the chosen files, sets the
// destination and the collision rules, and refuses what the pass would
// refuse, before anything is written. Each refusal names the key or the path.
class InstallAnswersCheck {
public:
    enum verdict {
        kAnswersFine,
        // The answers do not fit this installer (exit status 2).
        kAnswersInvalid,
        // The machine does not meet them: no space, a destination that
        // cannot be made (exit status 3 for requirements, 1 otherwise).
        kDestinationUnusable,
        kNotEnoughSpace,
    };

    // Applies `answers` to `config`; on kAnswersFine the configuration is
    // ready for its pass. `probe` tells the free space at the destination.
    static verdict Apply(const InstallAnswers& answers, InstallConfig& config, SystemProbe& probe,
        InstallAnswers::Problem* why);

    // The bytes the chosen files and the de-installer need.
    static uint64 NeededBytes(const InstallConfig& config);
    // The nearest folder at or above path that exists ("" when none).
    static std::string NearestExisting(const std::string& path);
};
