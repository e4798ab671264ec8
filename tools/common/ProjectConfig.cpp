#include "ProjectConfig.h"

#include "ProjectMedia.h"

#include <TypeConstants.h>

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

// The kinds of value a field of the record takes.
enum class Kind { String, Bool, Int8, Int32, Int64, Float, Double, StringList };

// Field types of the configuration record, by field name.
const std::map<std::string, Kind>& FieldKinds()
{
    static const std::map<std::string, Kind> kinds = {
        { "install_folder_name", Kind::String },
        { "app_name", Kind::String },
        { "version", Kind::String },
        { "release_date", Kind::String },
        { "company", Kind::String },
        { "support_email", Kind::String },
        { "license", Kind::String },
        { "opt_log", Kind::Bool },
        { "opt_create_startup", Kind::Bool },
        { "opt_save_replaced", Kind::Bool },
        { "opt_include_deinstall", Kind::Bool },
        { "opt_default_folder", Kind::String },
        { "opt_created_folder", Kind::String },
        { "opt_show_beos_folders", Kind::Bool },
        { "opt_compression", Kind::Int32 },
        { "req_disk_space_needed", Kind::Bool },
        { "req_disk_space_required", Kind::Bool },
        { "req_boot_vol_only", Kind::Bool },
        { "req_removable_vol_ok", Kind::Bool },
        { "req_shared_vol_ok", Kind::Bool },
        { "req_ram_needed", Kind::Bool },
        { "req_ram_required", Kind::Bool },
        { "req_ram_amount", Kind::Int32 },
        { "edit_bootscript", Kind::Bool },
        { "edit_bootscript_tag", Kind::String },
        { "edit_bootscript_contents", Kind::String },
        { "edit_setup_env", Kind::Bool },
        { "edit_setup_env_tag", Kind::String },
        { "edit_setup_env_contents", Kind::String },
        { "edit_profile", Kind::Bool },
        { "edit_profile_tag", Kind::String },
        { "edit_profile_contents", Kind::String },
        { "complete_comments", Kind::String },
        { "complete_restart", Kind::Bool },
        { "complete_display_folder", Kind::Bool },
        { "BVC:deinstaller_size", Kind::Int32 },
        // req_disk_space_amount
        { "value_type", Kind::Int32 },
        { "value_conversion", Kind::Float },
        { "value", Kind::Double },
        // req_shared_library, req_apps
        { "req_shared_librry_req", Kind::Bool },
        { "req_shared_library_name", Kind::StringList },
        { "req_app_req", Kind::Bool },
        { "req_app_name", Kind::StringList },
        // custom_folder entries
        { "custom_folder_name", Kind::String },
        { "custom_root_dir", Kind::Int32 },
        { "custom_sub_dir", Kind::String },
        { "custom_replace_existing", Kind::Bool },
        // install_meta
        { "destination", Kind::String },
        { "destination_exists", Kind::String },
        { "link", Kind::String },
        { "link_exists", Kind::String },
        { "deinstallable", Kind::String },
        { "auto_launch", Kind::String },
        { "auto_launch_reason", Kind::String },
    };
    return kinds;
}

class Builder {
public:
    Builder(ProjectConfig& result, std::string folder)
        : fResult(result)
        , fFolder(std::move(folder))
    {
    }

    void Problem(const std::string& path, const std::string& text)
    {
        fResult.problems.push_back({ path.empty() ? "/" : path, text });
    }

    // Adds one scalar (or string list) field by its kind.
    void AddField(
        BMessage& message, const std::string& name, const json& value, const std::string& path)
    {
        auto kind = FieldKinds().find(name);
        if (kind == FieldKinds().end()) {
            Problem(path, "unknown field \"" + name + "\"");
            return;
        }
        const char* field = name.c_str();
        switch (kind->second) {
        case Kind::String:
            if (!value.is_string())
                return Problem(path, "must be a text");
            message.AddString(field, value.get<std::string>().c_str());
            break;
        case Kind::Bool:
            if (!value.is_boolean())
                return Problem(path, "must be true or false");
            message.AddBool(field, value.get<bool>());
            break;
        case Kind::Int8:
        case Kind::Int32:
            if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN
                || value.get<int64_t>() > INT32_MAX)
                return Problem(path, "must be a 32-bit whole number");
            message.AddInt32(field, int32(value.get<int64_t>()));
            break;
        case Kind::Int64:
            if (!value.is_number_integer())
                return Problem(path, "must be a whole number");
            message.AddInt64(field, value.get<int64_t>());
            break;
        case Kind::Float:
            if (!value.is_number())
                return Problem(path, "must be a number");
            message.AddFloat(field, value.get<float>());
            break;
        case Kind::Double:
            if (!value.is_number())
                return Problem(path, "must be a number");
            if (name == "value" && (value.get<double>() < 0 || value.get<double>() > 4294967295.0))
                return Problem(path, "must be between 0 and 4294967295 bytes");
            message.AddDouble(field, value.get<double>());
            break;
        case Kind::StringList:
            if (!value.is_array())
                return Problem(path, "must be a list of texts");
            for (size_t i = 0; i < value.size(); i++) {
                if (!value[i].is_string()) {
                    Problem(path + "/" + std::to_string(i), "must be a text");
                    continue;
                }
                message.AddString(field, value[i].get<std::string>().c_str());
            }
            break;
        }
    }

    // A nested record made of plain fields.
    void AddRecord(BMessage& parent, const char* name, const json& value, const std::string& path)
    {
        if (!value.is_object())
            return Problem(path, "must be an object");
        BMessage record;
        for (auto& [key, item] : value.items())
            AddField(record, key, item, path + "/" + key);
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
            if (!group.is_object() || !group.contains("group_name")
                || !group["group_name"].is_string()) {
                Problem(itemPath, "a group needs a \"group_name\" text");
                continue;
            }
            std::string description;
            if (group.contains("group_description")) {
                if (!group["group_description"].is_string())
                    Problem(itemPath + "/group_description", "must be a text");
                else
                    description = group["group_description"].get<std::string>();
            }
            groups.AddString("group_name", group["group_name"].get<std::string>().c_str());
            groups.AddString("group_description", description.c_str());
        }
        fResult.configuration.AddMessage("groups", &groups);
    }

    void AddCustomFolders(const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of custom folders");
        BMessage folders;
        for (size_t i = 0; i < value.size(); i++) {
            std::string itemPath = path + "/" + std::to_string(i);
            for (const char* required :
                { "custom_folder_name", "custom_root_dir", "custom_sub_dir" }) {
                if (!value[i].is_object() || !value[i].contains(required))
                    Problem(itemPath, std::string("missing \"") + required + "\"");
            }
            if (value[i].is_object())
                AddRecord(folders, "custom_folder", value[i], itemPath);
        }
        fResult.configuration.AddMessage("custom_folder", &folders);
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
            for (auto& entry : fs::recursive_directory_iterator(path, error)) {
                if (entry.is_regular_file(error) && !entry.is_symlink(error))
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

        int8 fileType = S_ISDIR(info.st_mode)                       ? 2
            : (S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0) ? 1
                                                                    : 0;
        int64 size = TreeSize(source);
        BMessage file;
        file.AddString("file_name", source.c_str());
        file.AddInt8("file_type", fileType);
        // Sizes are stored as 32-bit numbers: a payload item beyond that
        // cannot be described to the installer.
        if (size > INT32_MAX)
            return Problem(path + "/source", "is larger than 2 GB");
        file.AddInt32("file_size", int32(size));
        file.AddInt32("file_size", int32(size));
        file.AddInt64("file_creation", int64(info.st_ctime));
        file.AddInt64("file_modified", int64(info.st_mtime));
        file.AddInt64("file_accessed", int64(info.st_atime));
        BMessage icon = IconFor(fileType);
        file.AddMessage("file_icon", &icon);

        for (auto& [key, value] : item.items()) {
            std::string keyPath = path + "/" + key;
            if (key == "source")
                continue;
            if (key == "groups") {
                if (!value.is_string())
                    Problem(keyPath, "must be a text such as \"Typical;Sounds;\"");
                else
                    file.AddString("groups", value.get<std::string>().c_str());
            } else if (key == "install_meta") {
                for (const char* required : { "destination", "destination_exists", "link",
                         "link_exists", "deinstallable" }) {
                    if (!value.is_object() || !value.contains(required))
                        Problem(keyPath, std::string("missing \"") + required + "\"");
                }
                AddRecord(file, "install_meta", value, keyPath);
            } else {
                Problem(keyPath, "unknown field \"" + key + "\"");
            }
        }
        if (!item.contains("install_meta"))
            Problem(path, "missing \"install_meta\"");
        instructions.AddMessage("install_file", &file);
        fResult.payload.push_back({ source.string(), source.filename().string() });
    }

    void AddInstructions(const json& value, const std::string& path)
    {
        if (!value.is_array())
            return Problem(path, "must be a list of payload items");
        BMessage instructions;
        for (size_t i = 0; i < value.size(); i++)
            AddInstallFile(instructions, value[i], path + "/" + std::to_string(i));
        fResult.configuration.AddMessage("install_instructions", &instructions);
    }

    void AddLicenseFile(const json& value, const std::string& path)
    {
        if (!value.is_string())
            return Problem(path, "must be a path");
        fs::path file = value.get<std::string>();
        if (file.is_relative())
            file = fs::path(fFolder) / file;
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return Problem(path, "cannot read \"" + file.string() + "\"");
        std::stringstream text;
        text << in.rdbuf();
        fResult.configuration.AddString("license", text.str().c_str());
    }

    void Build(const json& project)
    {
        if (!project.is_object())
            return Problem("", "the project must be a JSON object");
        BMessage& config = fResult.configuration;
        config.what = 0;
        for (auto& [key, value] : project.items()) {
            std::string path = "/" + key;
            if (key == "groups")
                AddGroups(value, path);
            else if (key == "install_instructions")
                AddInstructions(value, path);
            else if (key == "custom_folder")
                AddCustomFolders(value, path);
            else if (key == "license_file")
                AddLicenseFile(value, path);
            else if (key == "about_image")
                AddAboutImage(value, path);
            else if (key == "audio_file")
                AddSound(value,
                    project.contains("audio_format") ? &project["audio_format"] : nullptr, path);
            else if (key == "audio_format") {
                if (!project.contains("audio_file"))
                    Problem(path, "describes a raw sound, but there is no \"audio_file\"");
            } else if (key == "req_disk_space_amount" || key == "req_shared_library"
                || key == "req_apps")
                AddRecord(config, key.c_str(), value, path);
            else
                AddField(config, key, value, path);
        }
        for (const char* required : { "app_name", "opt_created_folder", "install_instructions" }) {
            if (!project.contains(required))
                Problem("/", std::string("missing \"") + required + "\"");
        }
        if (project.contains("opt_compression") && project["opt_compression"].is_number_integer()
            && (project["opt_compression"] < 0 || project["opt_compression"] > 9))
            Problem("/opt_compression", "must be a level from 0 (stored) to 9 (smallest)");
        CheckItems(project);
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
            return Problem(path, "must be the path of a PNG picture");
        BMessage bitmap;
        std::string error;
        if (!ReadAboutImage(ProjectPath(value).string(), &bitmap, &error))
            return Problem(path, error);
        fResult.configuration.AddMessage("about_image", &bitmap);
    }

    void AddSound(const json& value, const json* rawFormat, const std::string& path)
    {
        if (!value.is_string())
            return Problem(path, "must be the path of a WAV or raw sound file");
        BMessage audio;
        std::string error;
        if (!ReadSound(ProjectPath(value).string(), rawFormat, &audio, &error)) {
            // Problems of the format description belong to its own path.
            if (error.rfind("audio_format", 0) == 0) {
                size_t colon = error.find(": ");
                return Problem("/" + error.substr(0, colon), error.substr(colon + 2));
            }
            return Problem(path, error);
        }
        fResult.configuration.AddString("audio_file", ProjectPath(value).filename().c_str());
        fResult.configuration.AddMessage("audio_data", &audio);
    }

    // Checks across the payload items, once every item has been read: the
    // installer finds items by their leaf names, and compares the keyword
    // values exactly, so a slip there would go unnoticed until an install.
    void CheckItems(const json& project)
    {
        if (!project.contains("install_instructions")
            || !project["install_instructions"].is_array())
            return;
        std::set<std::string> groups;
        if (project.contains("groups") && project["groups"].is_array()) {
            for (auto& group : project["groups"]) {
                if (group.is_object() && group.contains("group_name")
                    && group["group_name"].is_string())
                    groups.insert(group["group_name"].get<std::string>());
            }
        }
        std::map<std::string, size_t> leaves;
        const json& items = project["install_instructions"];
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
            if (items[i].contains("groups") && items[i]["groups"].is_string())
                CheckGroups(items[i]["groups"].get<std::string>(), groups, itemPath + "/groups");
            if (items[i].contains("install_meta") && items[i]["install_meta"].is_object())
                CheckKeywords(items[i]["install_meta"], itemPath + "/install_meta");
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
        const std::set<std::string> rules = { "Prompt", "Rename", "Replace" };
        const std::set<std::string> answers = { "True", "False" };
        for (auto& [key, value] : meta.items()) {
            if (!value.is_string())
                continue;
            std::string text = value.get<std::string>();
            if ((key == "destination_exists" || key == "link_exists") && rules.count(text) == 0)
                Problem(path + "/" + key, "must be \"Prompt\", \"Rename\" or \"Replace\"");
            if ((key == "deinstallable" || key == "auto_launch") && answers.count(text) == 0)
                Problem(path + "/" + key, "must be \"True\" or \"False\" (exactly so)");
            if ((key == "destination" || key == "link") && text.empty())
                Problem(path + "/" + key, "must name a folder");
        }
    }

private:
    ProjectConfig& fResult;
    std::string fFolder;
};

} // namespace

ProjectConfig BuildProjectConfig(
    const nlohmann::ordered_json& project, const std::string& projectFolder)
{
    ProjectConfig result;
    Builder(result, projectFolder).Build(project);
    return result;
}

ProjectConfig LoadProjectConfig(const std::string& projectFile)
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
    return BuildProjectConfig(project, folder);
}

} // namespace brenvik
