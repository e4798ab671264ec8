// zip_fuzz_seeds FOLDER: writes the seeds of the extractor's fuzz target into
// FOLDER, one file each: sound items and the hostile archives an installer
// must refuse or tame (names that climb out, links out of the item, loops,
// writes through a link, a bomb, names given twice or cut by a NUL byte,
// damaged data, special files, odd modes), and pairs of archives where the
// first plants a link that the second would write through.

#include "ZipExtraFields.h"
#include "ZipTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace BPrivate;
using namespace brenvik::archive::test;

namespace {

const std::string kNextArchive = "\n--brenvik-next-archive--\n";

// Replaces every occurrence of a marker (names sit in the local and the
// central header alike), to forge what libzip refuses to write.
std::vector<uint8> Patched(std::vector<uint8> bytes, const std::string& from, const std::string& to)
{
    for (auto at = bytes.begin();
         (at = std::search(at, bytes.end(), from.begin(), from.end())) != bytes.end();)
        at = std::copy(to.begin(), to.end(), at);
    return bytes;
}

std::vector<uint8> Joined(const std::vector<uint8>& first, const std::vector<uint8>& second)
{
    std::vector<uint8> bytes = first;
    bytes.insert(bytes.end(), kNextArchive.begin(), kNextArchive.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
}

std::vector<uint8> Make(const std::function<void(ZipBuilder&)>& fill)
{
    ZipBuilder builder;
    fill(builder);
    return builder.Finish();
}

// An item as our writer makes them: folders, files, an inner link, times,
// owners and BeOS attributes.
std::vector<uint8> SoundItem()
{
    return Make([](ZipBuilder& zip) {
        zip_int64_t top = zip.AddFolder("App/");
        zip.SetExtraField(
            top, kTimestampFieldId, BuildTimestampField({ 1000000, 1000001 }, true), true);
        zip_int64_t file = zip.AddFile("App/App", std::string(300, 'x'), 0100755);
        std::vector<uint8> local, central;
        BuildBeAttributesField(
            { ZipAttribute { "BEOS:TYPE", 'MIMS', { 't', 'e', 'x', 't', '/', 'x', 0 } } }, 6,
            &local, &central);
        zip.SetExtraField(file, kBeAttributesFieldId, local, true);
        zip.SetExtraField(file, kBeAttributesFieldId, central, false);
        zip.SetExtraField(file, kUnixOwnerFieldId, BuildUnixOwnerField({ 1000, 1000 }), true);
        zip.AddFolder("App/lib/");
        zip.AddFile("App/lib/libx.so", "ELF");
        zip.AddLink("App/link", "lib/libx.so");
        zip.AddLink("App/lib/up", "../App");
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    std::vector<std::pair<std::string, std::vector<uint8>>> seeds;
    auto add = [&seeds](const char* name, std::vector<uint8> bytes) {
        seeds.emplace_back(name, std::move(bytes));
    };
    add("sound-item", SoundItem());
    add("single-file", Make([](ZipBuilder& zip) { zip.AddFile("ReadMe", "hello\n"); }));
    add("climbs-out", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddFile("top/../../escaped", "x");
    }));
    add("absolute-name", Make([](ZipBuilder& zip) { zip.AddFile("/tmp/escaped", "x"); }));
    add("empty-component", Make([](ZipBuilder& zip) { zip.AddFile("top//x", "x"); }));
    add("link-to-root", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddLink("top/root", "/");
    }));
    add("link-out", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddLink("top/out", "../../outside");
    }));
    add("link-chain-out", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddFolder("top/sub/");
        zip.AddLink("top/a", "sub/b/../..");
        zip.AddLink("top/sub/b", "..");
    }));
    add("link-loop", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddLink("top/a", "b");
        zip.AddLink("top/b", "a");
    }));
    add("write-through-link", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddLink("top/esc", "..");
        zip.AddFile("top/esc/pwned", "x");
    }));
    add("link-as-top", Make([](ZipBuilder& zip) { zip.AddLink("top", "."); }));
    add("bomb", Make([](ZipBuilder& zip) { zip.AddFile("bomb", std::string(8 << 20, '\0')); }));
    add("twice",
        Patched(Make([](ZipBuilder& zip) {
            zip.AddFolder("top/");
            zip.AddFile("top/first", "1");
            zip.AddFile("top/other", "2");
        }),
            "top/other", "top/first"));
    add("nul-in-name",
        Patched(Make([](ZipBuilder& zip) {
            zip.AddFolder("top/");
            zip.AddFile("top/other", "2");
        }),
            "top/other", std::string("top/o\0her", 9)));
    add("second-file-damaged", [] {
        std::vector<uint8> bytes = Make([](ZipBuilder& zip) {
            zip.AddFolder("top/");
            zip.AddFile("top/a", std::string(5000, 'a'));
            zip.AddFile("top/b", std::string(5000, 'b'));
        });
        const std::string name = "top/b";
        auto central = std::find_end(bytes.begin(), bytes.end(), name.begin(), name.end());
        bytes[size_t(central - bytes.begin()) - 46 + 16] ^= 0xFF;
        return bytes;
    }());
    add("special-files", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/");
        zip.AddFile("top/fifo", "", 010644);
        zip.AddFile("top/device", "", 020644);
    }));
    add("odd-modes", Make([](ZipBuilder& zip) {
        zip.AddFolder("top/", 040000);
        zip.AddFolder("top/locked/", 040000);
        zip.AddFile("top/locked/setuid", "x", 0104755);
        zip.AddFile("top/none", "x", 0100000);
    }));
    add("staging-name",
        Make([](ZipBuilder& zip) { zip.AddFile(".brenvik-partial-0000000000000000", "x"); }));
    add("two-items", Make([](ZipBuilder& zip) {
        zip.AddFile("one", "1");
        zip.AddFile("two", "2");
    }));

    std::vector<uint8> plant = Make([](ZipBuilder& zip) {
        zip.AddFolder("Top/");
        zip.AddLink("Top/esc", "../sub");
        zip.AddFolder("Top/sub/");
    });
    add("plant-then-write-through", Joined(plant, Make([](ZipBuilder& zip) {
        zip.AddFolder("Top/");
        zip.AddFolder("Top/esc/");
        zip.AddFile("Top/esc/pwned", "pwned");
    })));
    add("merge-two", Joined(SoundItem(), Make([](ZipBuilder& zip) {
        zip.AddFolder("App/");
        zip.AddFile("App/App", "replaced");
        zip.AddFile("App/extra", "new");
    })));

    for (const auto& [name, bytes] : seeds) {
        std::string path = folder + "/" + name;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()
            || std::fclose(out) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    }
    std::printf("%zu seeds in %s\n", seeds.size(), folder.c_str());
    return 0;
}
