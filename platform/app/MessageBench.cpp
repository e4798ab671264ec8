// Flattening and unflattening a message the size of an installer
// configuration: a few hundred fields, nested records, and a megabyte of raw
// data in a nested message (a picture or a sound). Unflattening should cost
// about one copy of the input: each item is copied once, from the input
// straight into its field's buffer.

#include <Message.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

constexpr size_t kRawDataSize = 1024 * 1024;

BMessage ConfigurationMessage()
{
    BMessage message(0);
    for (int i = 0; i < 120; i++) {
        std::string path = "/boot/apps/Example/data/file_" + std::to_string(i) + ".dat";
        message.AddString("install_file", path.c_str());
        message.AddInt8("file_type", int8(i % 3));
        message.AddInt64("file_size", 4096 * i);
    }
    for (int i = 0; i < 200; i++) {
        std::string name = "option_" + std::to_string(i);
        message.AddBool(name.c_str(), i % 2 == 0);
    }
    for (int i = 0; i < 20; i++) {
        BMessage group('grup');
        group.AddString("group_name", ("Group " + std::to_string(i)).c_str());
        group.AddDouble("value", 1.5 * i);
        group.AddInt32("flags", i);
        group.AddRect("_frame", BRect(0, 0, 31, 31));
        for (int j = 0; j < 5; j++)
            group.AddString("custom_folder", ("/boot/home/folder" + std::to_string(j)).c_str());
        message.AddMessage("group", &group);
    }
    BMessage picture('BBMP');
    picture.AddRect("_frame", BRect(0, 0, 511, 511));
    std::vector<uint8> pixels(kRawDataSize);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = uint8(i * 7);
    picture.AddData("_data", B_RAW_TYPE, pixels.data(), ssize_t(pixels.size()));
    message.AddMessage("about_image", &picture);
    return message;
}

void BM_FlattenConfiguration(benchmark::State& state)
{
    BMessage message = ConfigurationMessage();
    std::vector<char> buffer(size_t(message.FlattenedSize()));
    for (auto _ : state) {
        ssize_t size = message.FlattenedSize();
        benchmark::DoNotOptimize(message.Flatten(buffer.data(), size));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
    state.counters["fields"] = double(message.CountNames(B_ANY_TYPE));
    state.counters["bytes"] = double(buffer.size());
}
BENCHMARK(BM_FlattenConfiguration)->Unit(benchmark::kMicrosecond);

void BM_UnflattenConfiguration(benchmark::State& state)
{
    BMessage original = ConfigurationMessage();
    std::vector<char> buffer(size_t(original.FlattenedSize()));
    original.Flatten(buffer.data(), ssize_t(buffer.size()));
    for (auto _ : state) {
        BMessage message;
        benchmark::DoNotOptimize(message.Unflatten(buffer.data(), buffer.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}
BENCHMARK(BM_UnflattenConfiguration)->Unit(benchmark::kMicrosecond);

// For scale: one plain copy of the same number of bytes.
void BM_CopyConfigurationBytes(benchmark::State& state)
{
    BMessage original = ConfigurationMessage();
    std::vector<char> buffer(size_t(original.FlattenedSize()));
    original.Flatten(buffer.data(), ssize_t(buffer.size()));
    for (auto _ : state) {
        std::vector<char> copy(buffer);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}
BENCHMARK(BM_CopyConfigurationBytes)->Unit(benchmark::kMicrosecond);

void BM_FindEveryField(benchmark::State& state)
{
    BMessage message = ConfigurationMessage();
    for (auto _ : state) {
        int64 total = 0;
        for (int32 i = 0; i < 120; i++) {
            const char* path;
            if (message.FindString("install_file", i, &path) == B_OK)
                total += path[0];
        }
        for (int i = 0; i < 200; i++)
            total += message.GetBool(("option_" + std::to_string(i)).c_str());
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_FindEveryField)->Unit(benchmark::kMicrosecond);

} // namespace
