#pragma once

// brenvik-inspect: shows what is inside the platform's binary formats. Each
// subcommand is a function listed in the command table of Inspect.cpp; to add
// one, declare its function here, define it in a .cpp file of its own, and add
// one line to the table.

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace inspect {

// Exit statuses of every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
// Returned by a subcommand whose arguments are wrong; the dispatcher then
// prints the subcommand's usage line.
constexpr int kExitUsage = 2;

// A subcommand gets the arguments after its name.
using CommandFunction = int (*)(int argc, char** argv);

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    CommandFunction run;
};

// Prints "brenvik-inspect: <subject>: <reason>" on standard error and
// returns kExitFailure.
int Fail(const std::string& subject, const std::string& reason);

// Reads a whole file. On failure `error` says why, in a few words.
bool ReadWholeFile(const char* path, std::vector<uint8>* data, std::string* error);

// A type code as its four characters when they are printable, else in hex.
std::string TypeText(type_code type);

// The subcommands.
int InspectMessage(int argc, char** argv);
int InspectResources(int argc, char** argv);
int InspectResource(int argc, char** argv);
int InspectAttributes(int argc, char** argv);
int InspectRecord(int argc, char** argv);
int InspectManifest(int argc, char** argv);

} // namespace inspect
