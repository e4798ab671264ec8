#pragma once

// Shell blocks that only set variables, and their translation for the
// places that cannot run shell code: the systemd user manager's
// environment.d files and fish's conf.d.
//
// A block counts as assignments only when every line is empty, a comment,
// "export NAME", or one assignment "[export ]NAME=VALUE" whose value is made
// of plain characters, single-quoted text and double-quoted text with $NAME
// and ${NAME} references. Anything else (commands, tilde expansion, command
// substitution, backslashes, several assignments on one line, a comment
// after an assignment) leaves the block to the shells alone: a translation
// that guessed would set something other than what the shell sets.

#include <string>
#include <vector>

class ShellAssignments {
public:
    // One piece of a value: literal text or a variable's value.
    struct Piece {
        bool isVariable = false;
        std::string text; // the literal, or the variable's name
    };

    struct Assignment {
        std::string name;
        std::vector<Piece> value;
    };

    // Reads a block. False when it is not assignments only.
    static bool Parse(const std::string& block, std::vector<Assignment>* assignments);

    // The lines of an environment.d(5) file ("NAME=VALUE", the value in
    // double quotes), or false when a value holds what such a file cannot
    // say (a literal '$', '\', '"', '\'' or '`').
    static bool ToEnvironmentD(const std::vector<Assignment>& assignments, std::string* lines);

    // The lines of a fish script ("set -gx NAME value").
    static std::string ToFish(const std::vector<Assignment>& assignments);

    static bool IsName(const std::string& name);
};
