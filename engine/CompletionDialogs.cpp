#include "CompletionDialogs.h"

#include <Alert.h>

#include <oLocalize.h>

namespace {

int32 Show(const std::string& text, const char* button0, const char* button1, button_width width,
    alert_type type)
{
    // The alert deletes itself when Go() returns.
    BAlert* alert = new BAlert("", text.c_str(), button0, button1, nullptr, width, type);
    return alert->Go();
}

std::string Copy(const LibString& text)
{
    const char* characters = text;
    return characters != nullptr ? characters : "";
}

} // namespace

int32 AlertDialogs::Ask(
    const std::string& text, const char* button0, const char* button1, button_width width)
{
    return Show(text, button0, button1, width, B_INFO_ALERT);
}

void AlertDialogs::Info(const std::string& text)
{
    Show(text, "OK", nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
}

void AlertDialogs::Error(const std::string& text)
{
    Show(text, "OK", nullptr, B_WIDTH_AS_USUAL, B_STOP_ALERT);
}

LocalizedInstallTexts::LocalizedInstallTexts(oLocalize& localize)
    : fLocalize(localize)
{
}

std::string LocalizedInstallTexts::Text(int32 id)
{
    return Copy(fLocalize.GetString(id));
}

std::string LocalizedInstallTexts::Format(int32 id)
{
    return Copy(fLocalize.GetFormat(id));
}

std::string FormatWithText(const std::string& format, const std::string& argument)
{
    return FormatWithTexts(format, { argument });
}

std::string FormatWithTexts(const std::string& format, const std::vector<std::string>& arguments)
{
    std::string text;
    size_t filled = 0;
    for (size_t i = 0; i < format.size(); i++) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                text += '%';
                i++;
                continue;
            }
            if (format[i + 1] == 's' && filled < arguments.size()) {
                text += arguments[filled++];
                i++;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}
