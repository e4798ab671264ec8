#include "ProjectConfig.h"

#include "ProjectInput.h"
#include "ProjectMedia.h"

#include <Entry.h>
#include <InstallerFormat.h>
#include <ScriptTargets.h>

#include <TypeConstants.h>
#include <ZipItemCheck.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace brenvik {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

using InstallerFormat::FieldInfo;
using InstallerFormat::Record;
using InstallerFormat::RecordWriter;
namespace Field = InstallerFormat::Field;

// The nested records that a project writes field by field, as JSON objects.
bool IsPlainRecord(const FieldInfo& field)
{
    return field.nested == Record::kDiskSpaceAmount || field.nested == Record::kSharedLibraries
        || field.nested == Record::kApps;
}

class Builder {
public:
    Builder(ProjectConfig& result, std::string folder, std::optional<int64> latestTime)
        : fResult(result)
        , fFolder(std::move(folder))
        , fLatestTime(latestTime)
    {
    }

    void Note(const std::string& path, const std::string& text)
    {
        fResult.notes.push_back({ path, text });
    }

    void Problem(const std::string& path, const std::string& text)
    {
        fResult.problems.push_back({ path.empty() ? "/" : path, text });
    }

    // Adds one scalar field, string list or plain nested record of a record,
    // by the type the installer's format gives it.
    void AddField(BMessage& message, Record record, const std::string& name, const json& value,
        const std::string& path)
    {
        const FieldInfo* field = InstallerFormat::FindField(record, name.c_str());
        if (field == nullptr || (field->type == B_MESSAGE_TYPE && !IsPlainRecord(*field))) {
            Problem(path, "unknown field \"" + name + "\"");
            return;
        }
        RecordWriter writer(message, record);
        const char* fieldName = field->name;
        status_t status = B_OK;
        switch (field->type) {
        case B_STRING_TYPE:
            if (field->repeated)
                return AddStringList(writer, fieldName, value, path);
            if (!value.is_string())
                return Problem(path, "must be a text");
            status = writer.AddString(fieldName, value.get<std::string>().c_str());
            break;
        case B_BOOL_TYPE:
            if (!value.is_boolean())
                return Problem(path, "must be true or false");
            status = writer.AddBool(fieldName, value.get<bool>());
            break;
        case B_INT32_TYPE:
            if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN
                || value.get<int64_t>() > INT32_MAX)
                return Problem(path, "must be a 32-bit whole number");
            status = writer.AddInt32(fieldName, int32(value.get<int64_t>()));
            break;
        case B_FLOAT_TYPE:
            if (!value.is_number())
                return Problem(path, "must be a number");
            status = writer.AddFloat(fieldName, value.get<float>());
            break;
        case B_DOUBLE_TYPE:
            if (!value.is_number())
                return Problem(path, "must be a number");
            if (name == Field::kValue
                && (value.get<double>() < 0 || value.get<double>() > 4294967295.0))
                return Problem(path, "must be between 0 and 4294967295 bytes");
            status = writer.AddDouble(fieldName, value.get<double>());
            break;
        case B_MESSAGE_TYPE:
            AddRecord(message, fieldName, *field->nested, value, path);
            break;
        default:
            Problem(path, "unknown field \"" + name + "\"");
            break;
        }
        if (status != B_OK)
            Problem(path, "is given a second time");
    }

    void AddStringList(
        RecordWriter& writer, const char* name, const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of texts");
        for (size_t i = 0; i < value.size(); i++) {
            if (!value[i].is_string()) {
                Problem(path + "/" + std::to_string(i), "must be a text");
                continue;
            }
            writer.AddString(name, value[i].get<std::string>().c_str());
        }
    }

    // A nested record made of plain fields.
    void AddRecord(
        BMessage& parent, const char* name, Record kind, const json& value, const std::string& path)
    {
        if (!value.is_object())
            return Problem(path, "must be an object");
        BMessage record;
        for (auto& [key, item] : value.items())
            AddField(record, kind, key, item, path + "/" + key);
        parent.AddMessage(name, &record);
    }

    void AddGroups(const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of groups");
        BMessage groups;
        for (size_t i = 0; i < value.size(); i++) {
            std::string itemPath = path + "/" + std::to_string(i);
            const json& group = value[i];
            if (!group.is_object() || !group.contains(Field::kGroupName)
                || !group[Field::kGroupName].is_string()) {
                Problem(itemPath, "a group needs a \"group_name\" text");
                continue;
            }
            std::string description;
            if (group.contains(Field::kGroupDescription)) {
                if (!group[Field::kGroupDescription].is_string())
                    Problem(itemPath + "/" + Field::kGroupDescription, "must be a text");
                else
                    description = group[Field::kGroupDescription].get<std::string>();
            }
            RecordWriter writer(groups, Record::kGroups);
            writer.AddString(
                Field::kGroupName, group[Field::kGroupName].get<std::string>().c_str());
            writer.AddString(Field::kGroupDescription, description.c_str());
        }
        Top().AddMessage(Field::kGroups, groups);
    }

    void AddCustomFolders(const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of custom folders");
        BMessage folders;
        for (size_t i = 0; i < value.size(); i++) {
            std::string itemPath = path + "/" + std::to_string(i);
            for (const char* required :
                { Field::kCustomFolderName, Field::kCustomRootDir, Field::kCustomSubDir }) {
                if (!value[i].is_object() || !value[i].contains(required))
                    Problem(itemPath, std::string("missing \"") + required + "\"");
            }
            if (value[i].is_object())
                AddRecord(folders, Field::kCustomFolder, Record::kCustomFolder, value[i], itemPath);
        }
        Top().AddMessage(Field::kCustomFolder, folders);
    }

    // A 16 by 16 icon in the 8-bit system palette, archived the way the
    // file list reads it: a plain mark whose colour tells the kind of item.
    static BMessage IconFor(int8 fileType)
    {
        BMessage icon;
        icon.AddString("class", "LibBitmap");
        icon.AddRect("_frame", BRect(0, 0, 15, 15));
        icon.AddInt32("_cspace", 4);
        icon.AddInt32("_bmflags", 1);
        icon.AddInt32("_rowbytes", 16);
        uint8 pixels[256];
        const uint8 transparent = 255;
        const uint8 fill = fileType == 2 ? 0x5e : fileType == 1 ? 0x2d : 0x3f;
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 16; x++) {
                bool edge = x == 2 || x == 13 || y == 1 || y == 14;
                bool inside = x >= 2 && x <= 13 && y >= 1 && y <= 14;
                pixels[y * 16 + x] = !inside ? transparent : edge ? 0 : fill;
            }
        }
        icon.AddData("_data", B_RAW_TYPE, pixels, sizeof(pixels));
        return icon;
    }

    static int64 TreeSize(const fs::path& path)
    {
        std::error_code error;
        fs::file_status status = fs::symlink_status(path, error);
        if (error)
            return 0;
        if (fs::is_symlink(status))
            return int64(fs::read_symlink(path, error).native().size());
        if (fs::is_regular_file(status))
            return int64(fs::file_size(path, error));
        int64 total = 0;
        if (fs::is_directory(status)) {
            // Link targets count as the installer counts them against the
            // item's recorded size.
            for (auto& entry : fs::recursive_directory_iterator(path, error)) {
                if (entry.is_symlink(error))
                    total += int64(fs::read_symlink(entry.path(), error).native().size());
                else if (entry.is_regular_file(error))
                    total += int64(entry.file_size(error));
            }
        }
        return total;
    }

    void AddInstallFile(BMessage& instructions, const json& item, const std::string& path)
    {
        if (!item.is_object())
            return Problem(path, "must be an object");
        if (!item.contains("source") || !item["source"].is_string())
            return Problem(path, "needs a \"source\" path (file, folder or link)");
        fs::path source = item["source"].get<std::string>();
        if (source.is_relative())
            source = fs::path(fFolder) / source;
        source = source.lexically_normal();
        struct stat info;
        if (lstat(source.c_str(), &info) != 0) {
            return Problem(path + "/source", "\"" + source.string() + "\" does not exist");
        }
        // A link the installer would refuse is refused now, by the same rule,
        // rather than at the user's installation.
        std::string refused;
        if (BPrivate::CheckItemLinks(source.c_str(), &refused) != B_OK)
            return Problem(path + "/source", refused);
        if (!IsInsideFolder(source.string(), fFolder))
            Note(path + "/source",
                "\"" + source.string()
                    + "\" lies outside the project's folder; it is packed all "
                      "the same");

        int8 fileType = S_ISDIR(info.st_mode)                       ? 2
            : (S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0) ? 1
                                                                    : 0;
        int64 size = TreeSize(source);
        BMessage file;
        RecordWriter writer(file, Record::kInstallFile);
        // The item's path in the project, which the installer reads only for
        // its leaf name: where the project lies on the author's machine is
        // nobody's business, and would make each machine's build differ. An
        // item from outside the project is named by its leaf alone.
        std::string recorded = PathInFolder(source.string(), fFolder);
        if (recorded.empty())
            recorded = source.filename().string();
        writer.AddString(Field::kFileName, recorded.c_str());
        writer.AddInt8(Field::kFileType, fileType);
        InstallerFormat::AddFileSize(writer, uint64(size));
        // The inode's change time is no creation time (any chmod renews it),
        // nor is the file system's birth time, which says when this copy of
        // the project was made: the creation time kept on the file, else the
        // modification time. The access time says when the item was last
        // read, as this build just did: the modification time stands in.
        time_t created = info.st_mtime;
        BEntry(source.c_str(), false).GetStoredCreationTime(&created);
        writer.AddInt64(Field::kFileCreation, StoredTime(int64(created)));
        writer.AddInt64(Field::kFileModified, StoredTime(int64(info.st_mtime)));
        writer.AddInt64(Field::kFileAccessed, StoredTime(int64(info.st_mtime)));
        writer.AddMessage(Field::kFileIcon, IconFor(fileType));

        for (auto& [key, value] : item.items()) {
            std::string keyPath = path + "/" + key;
            if (key == "source")
                continue;
            if (key == Field::kItemGroups) {
                if (!value.is_string())
                    Problem(keyPath, "must be a text such as \"Typical;Sounds;\"");
                else
                    writer.AddString(Field::kItemGroups, value.get<std::string>().c_str());
            } else if (key == Field::kInstallMeta) {
                for (const char* required : { Field::kDestination, Field::kDestinationExists,
                         Field::kLink, Field::kLinkExists, Field::kDeinstallable }) {
                    if (!value.is_object() || !value.contains(required))
                        Problem(keyPath, std::string("missing \"") + required + "\"");
                }
                AddRecord(file, Field::kInstallMeta, Record::kInstallMeta, value, keyPath);
            } else {
                Problem(keyPath, "unknown field \"" + key + "\"");
            }
        }
        if (!item.contains(Field::kInstallMeta))
            Problem(path, "missing \"install_meta\"");
        RecordWriter(instructions, Record::kInstructions).AddMessage(Field::kInstallFile, file);
        fResult.payload.push_back({ source.string(), source.filename().string() });
    }

    void AddInstructions(const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of payload items");
        BMessage instructions;
        for (size_t i = 0; i < value.size(); i++)
            AddInstallFile(instructions, value[i], path + "/" + std::to_string(i));
        Top().AddMessage(Field::kInstallInstructions, instructions);
    }

    void AddLicenseFile(const json& value, const std::string& path)
    {
        if (!value.is_string())
            return Problem(path, "must be a path");
        std::string file = ProjectPath(value).string();
        std::string error;
        if (!CheckInputFile(file, kMaxLicenseBytes, &error))
            return Problem(path, error);
        std::ifstream in(file, std::ios::binary);
        std::stringstream read;
        read << in.rdbuf();
        std::string text = read.str();
        if (!in)
            return Problem(path, "cannot read \"" + file + "\"");
        // The record keeps the licence as a C string: a NUL byte would end it
        // there, and an empty licence would silently skip the licence page.
        if (text.empty())
            return Problem(
                path, "\"" + file + "\" is empty; leave \"license_file\" out for no licence");
        if (size_t nul = text.find('\0'); nul != std::string::npos)
            return Problem(path,
                "\"" + file + "\" holds a NUL byte (at byte " + std::to_string(nul)
                    + "); a licence must be text");
        if (Top().AddString(Field::kLicense, text.c_str()) != B_OK)
            Problem(path, "gives the licence a second time (there is a \"license\" text)");
    }

    void Build(const json& project)
    {
        if (!project.is_object())
            return Problem("", "the project must be a JSON object");
        BMessage& config = fResult.configuration;
        config.what = 0;
        for (auto& [key, value] : project.items()) {
            std::string path = "/" + key;
            if (key == Field::kGroups)
                AddGroups(value, path);
            else if (key == Field::kInstallInstructions)
                AddInstructions(value, path);
            else if (key == Field::kCustomFolder)
                AddCustomFolders(value, path);
            else if (key == "license_file")
                AddLicenseFile(value, path);
            else if (key == Field::kAboutImage)
                AddAboutImage(value, path);
            else if (key == Field::kAudioFile)
                AddSound(value,
                    project.contains("audio_format") ? &project["audio_format"] : nullptr, path);
            else if (key == "audio_format") {
                if (!project.contains(Field::kAudioFile))
                    Problem(path, "describes a raw sound, but there is no \"audio_file\"");
            } else
                AddField(config, Record::kConfiguration, key, value, path);
        }
        for (const char* required :
            { Field::kAppName, Field::kCreatedFolder, Field::kInstallInstructions }) {
            if (!project.contains(required))
                Problem("/", std::string("missing \"") + required + "\"");
        }
        CheckScriptContents(project);
        if (project.contains(Field::kCompression)
            && project[Field::kCompression].is_number_integer()
            && (project[Field::kCompression] < 0 || project[Field::kCompression] > 9))
            Problem(std::string("/") + Field::kCompression,
                "must be a level from 0 (stored) to 9 (smallest)");
        CheckItems(project);
    }

    // Script lines that read as a block marker could open or close another
    // product's block in the user's scripts (docs/scripts.md): the installer
    // refuses them, so the project may not hold them.
    void CheckScriptContents(const json& project)
    {
        const std::pair<const char*, const char*> scripts[] = {
            { Field::kEditBootscriptContents, ScriptTargets::kBootScript },
            { Field::kEditSetupEnvContents, ScriptTargets::kSetupEnvironment },
            { Field::kEditProfileContents, ScriptTargets::kProfile },
        };
        for (const auto& [field, script] : scripts) {
            if (!project.contains(field) || !project[field].is_string())
                continue;
            std::string problem
                = ScriptTargets::ContentsProblem(script, project[field].get<std::string>());
            if (!problem.empty())
                Problem(std::string("/") + field, problem);
        }
    }

    // A path of the project, relative to the project's folder.
    fs::path ProjectPath(const json& value) const
    {
        fs::path file = value.get<std::string>();
        return file.is_relative() ? fs::path(fFolder) / file : file;
    }

    void AddAboutImage(const json& value, const std::string& path)
    {
        if (!value.is_string())
            return Problem(path, "must be the path of a picture (PNG, JPEG, GIF or BMP)");
        BMessage bitmap;
        std::string error;
        if (!CheckInputFile(ProjectPath(value).string(), kMaxPictureFileBytes, &error))
            return Problem(path, error);
        if (!ReadAboutImage(ProjectPath(value).string(), &bitmap, &error))
            return Problem(path, error);
        Top().AddMessage(Field::kAboutImage, bitmap);
    }

    void AddSound(const json& value, const json* rawFormat, const std::string& path)
    {
        if (!value.is_string())
            return Problem(path, "must be the path of a WAV, AIFF or raw sound file");
        BMessage audio;
        std::string error;
        if (!CheckInputFile(ProjectPath(value).string(), kMaxSoundFileBytes, &error))
            return Problem(path, error);
        if (!ReadSound(ProjectPath(value).string(), rawFormat, &audio, &error)) {
            // Problems of the format description belong to its own path.
            if (error.rfind("audio_format", 0) == 0) {
                size_t colon = error.find(": ");
                return Problem("/" + error.substr(0, colon), error.substr(colon + 2));
            }
            return Problem(path, error);
        }
        Top().AddString(Field::kAudioFile, ProjectPath(value).filename().c_str());
        Top().AddMessage(Field::kAudioData, audio);
    }

    // Checks across the payload items, once every item has been read: the
    // installer finds items by their leaf names, and compares the keyword
    // values exactly, so a slip there would go unnoticed until an install.
    void CheckItems(const json& project)
    {
        if (!project.contains(Field::kInstallInstructions)
            || !project[Field::kInstallInstructions].is_array())
            return;
        std::set<std::string> groups;
        if (project.contains(Field::kGroups) && project[Field::kGroups].is_array()) {
            for (auto& group : project[Field::kGroups]) {
                if (group.is_object() && group.contains(Field::kGroupName)
                    && group[Field::kGroupName].is_string())
                    groups.insert(group[Field::kGroupName].get<std::string>());
            }
        }
        std::map<std::string, size_t> leaves;
        const json& items = project[Field::kInstallInstructions];
        for (size_t i = 0; i < items.size(); i++) {
            std::string itemPath = "/install_instructions/" + std::to_string(i);
            if (!items[i].is_object())
                continue;
            if (items[i].contains("source") && items[i]["source"].is_string()) {
                std::string leaf = ProjectPath(items[i]["source"]).lexically_normal().filename();
                auto [known, added] = leaves.emplace(leaf, i);
                if (!added)
                    Problem(itemPath + "/source",
                        "has the same name \"" + leaf + "\" as item "
                            + std::to_string(known->second)
                            + "; the installer tells items apart by name");
            }
            const json& item = items[i];
            if (item.contains(Field::kItemGroups) && item[Field::kItemGroups].is_string())
                CheckGroups(item[Field::kItemGroups].get<std::string>(), groups,
                    itemPath + "/" + Field::kItemGroups);
            if (item.contains(Field::kInstallMeta) && item[Field::kInstallMeta].is_object())
                CheckKeywords(item[Field::kInstallMeta], itemPath + "/" + Field::kInstallMeta);
        }
    }

    void CheckGroups(
        const std::string& text, const std::set<std::string>& groups, const std::string& path)
    {
        std::stringstream fields(text);
        std::string group;
        while (std::getline(fields, group, ';')) {
            if (!group.empty() && groups.count(group) == 0)
                Problem(path, "names the group \"" + group + "\", which \"/groups\" does not list");
        }
        if (!text.empty() && text.back() != ';')
            Problem(path, "each group name must end with \";\", as in \"Typical;Sounds;\"");
    }

    void CheckKeywords(const json& meta, const std::string& path)
    {
        using namespace InstallerFormat;
        const std::set<std::string> rules = { kPrompt, kRename, kReplace };
        const std::set<std::string> answers = { kTrue, kFalse };
        for (auto& [key, value] : meta.items()) {
            if (!value.is_string())
                continue;
            std::string text = value.get<std::string>();
            if ((key == Field::kDestinationExists || key == Field::kLinkExists)
                && rules.count(text) == 0)
                Problem(path + "/" + key, "must be \"Prompt\", \"Rename\" or \"Replace\"");
            if ((key == Field::kDeinstallable || key == Field::kAutoLaunch)
                && answers.count(text) == 0)
                Problem(path + "/" + key, "must be \"True\" or \"False\" (exactly so)");
            if ((key == Field::kDestination || key == Field::kLink) && text.empty())
                Problem(path + "/" + key, "must name a folder");
        }
    }

private:
    // The configuration record, written through the format's checks.
    RecordWriter Top() { return RecordWriter(fResult.configuration, Record::kConfiguration); }

    // A time as the record stores it: none later than fLatestTime.
    int64 StoredTime(int64 seconds) const
    {
        return fLatestTime ? std::min(seconds, *fLatestTime) : seconds;
    }

    ProjectConfig& fResult;
    std::string fFolder;
    std::optional<int64> fLatestTime;
};

} // namespace

ProjectConfig BuildProjectConfig(const nlohmann::ordered_json& project,
    const std::string& projectFolder, std::optional<int64> latestTime)
{
    ProjectConfig result;
    Builder(result, projectFolder, latestTime).Build(project);
    return result;
}

ProjectConfig LoadProjectConfig(const std::string& projectFile, std::optional<int64> latestTime)
{
    std::ifstream in(projectFile);
    if (!in) {
        ProjectConfig result;
        result.problems.push_back({ "/", "cannot read \"" + projectFile + "\"" });
        return result;
    }
    json project = json::parse(in, nullptr, false);
    if (project.is_discarded()) {
        ProjectConfig result;
        result.problems.push_back({ "/", "\"" + projectFile + "\" is not valid JSON" });
        return result;
    }
    std::string folder = fs::absolute(fs::path(projectFile)).parent_path().string();
    return BuildProjectConfig(project, folder, latestTime);
}

} // namespace brenvik
