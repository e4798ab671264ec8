// UIDriver: reading the script, running its lines with their deadlines, and
// the driver's thread.

#include "UIDriver.h"

#include <Environment.h>
#include <OS.h>

#include "UIDriverActions.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <unistd.h>

namespace BPrivate {

namespace {

constexpr bigtime_t kDefaultDeadline = 10000000;
// The longest an input step waits for busy windows to settle.
constexpr bigtime_t kQuietLimit = 2000000;
constexpr bigtime_t kRetryInterval = 5000;
// The driver's exit status when an action missed its deadline, and when
// the script cannot be read or understood.
constexpr int kTimedOutStatus = 3;
constexpr int kBadScriptStatus = 2;

struct PanelRegistry {
    std::mutex lock;
    std::map<int32, UIDriver::PanelChooser> choosers;
    int32 nextToken = 1;
};

PanelRegistry& Panels()
{
    static PanelRegistry* registry = new PanelRegistry;
    return *registry;
}

// Splits a line into words; double quotes keep spaces in a word, and
// \n, \t, \" and \\ stand for themselves inside them.
std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(uint8(line[i])))
            i++;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            i++;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    char next = line[i + 1];
                    word += next == 'n' ? '\n' : (next == 't' ? '\t' : next);
                    i += 2;
                    continue;
                }
                word += line[i++];
            }
            i++;
        } else {
            while (i < line.size() && !std::isspace(uint8(line[i])))
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

// The rest of a line after `count` words, as one argument: labels and
// titles may contain spaces without quotes. A quoted rest loses its quotes.
std::string RestAfter(const std::string& line, size_t count)
{
    size_t i = 0;
    for (size_t word = 0; word < count; word++) {
        while (i < line.size() && std::isspace(uint8(line[i])))
            i++;
        if (i < line.size() && line[i] == '"') {
            i++;
            while (i < line.size() && line[i] != '"')
                i += line[i] == '\\' ? 2 : 1;
            i++;
        } else {
            while (i < line.size() && !std::isspace(uint8(line[i])))
                i++;
        }
    }
    while (i < line.size() && std::isspace(uint8(line[i])))
        i++;
    std::string rest = line.substr(std::min(i, line.size()));
    while (!rest.empty() && std::isspace(uint8(rest.back())))
        rest.pop_back();
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        std::vector<std::string> words = SplitWords(rest);
        return words.empty() ? std::string() : words.front();
    }
    return rest;
}

// Retries `attempt` until it succeeds or the deadline passes.
bool Retry(const std::function<bool()>& attempt, bigtime_t timeout)
{
    bigtime_t deadline = system_time() + timeout;
    while (!attempt()) {
        if (system_time() >= deadline)
            return false;
        snooze(kRetryInterval);
    }
    return true;
}

status_t RunLine(
    UIDriverActions& actions, const std::string& line, bigtime_t* timeout, std::string* problem)
{
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return B_OK;
    const std::string& verb = words[0];
    std::function<bool()> attempt;
    if (verb == "timeout" && words.size() == 2) {
        char* end = nullptr;
        double seconds = std::strtod(words[1].c_str(), &end);
        if (end == nullptr || *end != '\0' || !(seconds > 0) || seconds > 86400) {
            *problem = "a timeout is a number of seconds";
            return B_BAD_VALUE;
        }
        *timeout = bigtime_t(seconds * 1000000);
        return B_OK;
    }
    if (verb == "wait-window" && words.size() >= 2) {
        std::string title = RestAfter(line, 1);
        attempt = [&actions, title] { return actions.TryWaitWindow(title); };
    } else if (verb == "click" && words.size() == 2) {
        attempt = [&actions, name = words[1]] { return actions.TryClick(name); };
    } else if (verb == "click-label" && words.size() >= 2) {
        attempt = [&actions, label = RestAfter(line, 1)] { return actions.TryClickLabel(label); };
    } else if (verb == "double-click-label" && words.size() >= 2) {
        attempt
            = [&actions, label = RestAfter(line, 1)] { return actions.TryDoubleClickLabel(label); };
    } else if (verb == "wait-enabled" && words.size() == 2) {
        attempt = [&actions, name = words[1]] { return actions.TryWaitEnabled(name); };
    } else if (verb == "close" && words.size() >= 2) {
        attempt = [&actions, title = RestAfter(line, 1)] { return actions.TryClose(title); };
    } else if (verb == "choose" && words.size() >= 3) {
        attempt = [&actions, name = words[1], item = RestAfter(line, 2)] {
            return actions.TryChoose(name, item);
        };
    } else if ((verb == "tick" || verb == "click-row") && words.size() == 3) {
        char* end = nullptr;
        long row = std::strtol(words[2].c_str(), &end, 10);
        if (end == nullptr || end == words[2].c_str() || *end != '\0' || row < 0
            || row > INT32_MAX) {
            *problem = "a row is a number from 0";
            return B_BAD_VALUE;
        }
        if (verb == "tick")
            attempt
                = [&actions, name = words[1], row] { return actions.TryTick(name, int32(row)); };
        else
            attempt = [&actions, name = words[1], row] {
                return actions.TryClickRow(name, int32(row));
            };
    } else if (verb == "type" && words.size() >= 3) {
        std::string text = words.size() == 3 ? words[2] : RestAfter(line, 2);
        attempt = [&actions, name = words[1], text] { return actions.TryType(name, text); };
    } else if (verb == "key" && words.size() == 2) {
        std::string bytes;
        int32 key = 0;
        uint32 modifiers = 0;
        if (!UIDriverActions::ParseKey(words[1], &bytes, &key, &modifiers)) {
            *problem = "unknown key \"" + words[1] + "\"";
            return B_BAD_VALUE;
        }
        attempt = [&actions, description = words[1]] { return actions.TryKey(description); };
    } else if (verb == "alert" && words.size() >= 2) {
        attempt = [&actions, label = RestAfter(line, 1)] { return actions.TryAlert(label); };
    } else if (verb == "panel" && words.size() >= 2) {
        attempt = [&actions, path = RestAfter(line, 1)] { return actions.TryPanel(path); };
    } else if (verb == "drop" && words.size() >= 3) {
        attempt = [&actions, name = words[1], path = RestAfter(line, 2)] {
            return actions.TryDrop(name, path);
        };
    } else if (verb == "wait-drawn" && words.size() == 1) {
        attempt = [&actions] { return actions.TryWaitDrawn(); };
    } else if (verb == "screenshot" && words.size() >= 2) {
        attempt = [&actions, file = RestAfter(line, 1)] { return actions.TryScreenshot(file); };
    } else if (verb == "screenshot-window" && words.size() >= 3) {
        attempt = [&actions, title = words[1], file = RestAfter(line, 2)] {
            return actions.TryScreenshotWindow(title, file);
        };
    } else if (verb == "dump" && words.size() >= 2) {
        attempt = [&actions, file = RestAfter(line, 1)] { return actions.TryDump(file); };
    } else if (verb == "wait-text" && words.size() >= 2) {
        std::string text = words.size() == 3 ? words[2] : RestAfter(line, 2);
        attempt = [&actions, name = words[1], text] { return actions.TryWaitText(name, text); };
    } else if (verb == "wait-item" && words.size() >= 3) {
        attempt = [&actions, name = words[1], item = RestAfter(line, 2)] {
            return actions.TryWaitItem(name, item);
        };
    } else if (verb == "wait-quit" && words.size() == 1) {
        // The program ends while this waits; if it does not, the deadline
        // ends it.
        attempt = [] { return false; };
    } else {
        *problem = "not understood";
        return B_BAD_VALUE;
    }
    // Input goes to what the user sees, and a screenshot shows it: the
    // windows first settle, so that a menu or alert that an earlier step
    // opened is there.
    static const char* const kSettlingVerbs[] = { "click", "click-label", "double-click-label",
        "close", "choose", "tick", "click-row", "type", "key", "drop", "panel", "screenshot",
        "wait-drawn", "screenshot-window", "dump", "wait-text", "wait-item" };
    for (const char* input : kSettlingVerbs) {
        if (verb == input)
            actions.WaitUntilQuiet(std::min(*timeout, kQuietLimit));
    }
    if (!Retry(attempt, *timeout)) {
        char seconds[32];
        std::snprintf(seconds, sizeof(seconds), "%g", double(*timeout) / 1000000);
        *problem = std::string("did not happen within ") + seconds + " s";
        return B_TIMED_OUT;
    }
    return B_OK;
}

status_t DriverThread(void* data)
{
    std::unique_ptr<std::vector<std::string>> lines(static_cast<std::vector<std::string>*>(data));
    std::string failure;
    status_t status = UIDriver::RunScript(*lines, &failure);
    if (status != B_OK) {
        std::fprintf(stderr, "brenvik: UI script: %s\n", failure.c_str());
        std::fflush(stderr);
        // Other threads may be in any state; the program ends at once.
        _exit(status == B_TIMED_OUT ? kTimedOutStatus : kBadScriptStatus);
    }
    return B_OK;
}

} // namespace

status_t UIDriver::RunScript(const std::vector<std::string>& lines, std::string* failure)
{
    UIDriverActions actions;
    bigtime_t timeout = kDefaultDeadline;
    for (size_t index = 0; index < lines.size(); index++) {
        std::string line = lines[index];
        while (!line.empty() && (line.back() == '\r' || std::isspace(uint8(line.back()))))
            line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        line = line.substr(start);
        std::string problem;
        status_t status = RunLine(actions, line, &timeout, &problem);
        if (status != B_OK) {
            if (failure != nullptr) {
                *failure = "line " + std::to_string(index + 1) + " \"" + line + "\": " + problem;
            }
            return status;
        }
    }
    return B_OK;
}

void UIDriver::StartIfRequested()
{
    static std::once_flag started;
    std::call_once(started, [] {
        const char* path = Environment::Get("BRENVIK_UI_SCRIPT");
        if (path == nullptr || path[0] == '\0')
            return;
        std::ifstream file(path);
        if (!file) {
            std::fprintf(stderr, "brenvik: UI script %s cannot be read\n", path);
            std::fflush(stderr);
            _exit(kBadScriptStatus);
        }
        auto lines = std::make_unique<std::vector<std::string>>();
        std::string line;
        while (std::getline(file, line))
            lines->push_back(line);
        thread_id thread = spawn_thread(DriverThread, "ui driver", B_NORMAL_PRIORITY, lines.get());
        if (thread < 0) {
            std::fprintf(stderr, "brenvik: the UI driver cannot start\n");
            _exit(kBadScriptStatus);
        }
        // The driver's thread owns the lines from here on.
        static_cast<void>(lines.release());
        resume_thread(thread);
    });
}

int32 UIDriver::RegisterPanel(PanelChooser chooser)
{
    PanelRegistry& registry = Panels();
    std::lock_guard guard(registry.lock);
    int32 token = registry.nextToken++;
    registry.choosers[token] = std::move(chooser);
    return token;
}

void UIDriver::UnregisterPanel(int32 token)
{
    PanelRegistry& registry = Panels();
    std::lock_guard guard(registry.lock);
    registry.choosers.erase(token);
}

bool UIDriverActions::TryPanel(const std::string& path)
{
    UIDriver::PanelChooser chooser;
    {
        PanelRegistry& registry = Panels();
        std::lock_guard guard(registry.lock);
        if (registry.choosers.empty())
            return false;
        chooser = registry.choosers.rbegin()->second;
    }
    return chooser(path.c_str()) == B_OK;
}

} // namespace BPrivate
