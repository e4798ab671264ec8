// What the programs every installer carries need to run on glibc 2.34.
//
// They are linked on Debian 12 (glibc 2.36) with the C++ runtime and every
// library but the C library inside them. A few of those libraries call
// functions that exist in the C library only from a newer version on, or
// whose newest version is newer than 2.34; a program that names such a
// version does not start on an older system ("version `GLIBC_2.35' not
// found"). The link redirects those calls here (--wrap, BRENVIK_GLIBC_WRAPS
// in cmake/Brenvik.cmake), where each is done with what glibc 2.34 has.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/random.h>
#include <unistd.h>

extern "C" {

double __wrap_hypot(double x, double y);
float __wrap_hypotf(float x, float y);
void __wrap_arc4random_buf(void* buffer, size_t size);
uint32_t __wrap_arc4random(void);
int __wrap__dl_find_object(void* address, dl_find_object* result);

// hypot and hypotf (Cairo's geometry, ours) got new symbol versions in
// glibc 2.35 that only dropped the old error-reporting wrapper; the older
// versions compute the same values.
double brenvik_hypot_2_2_5(double x, double y);
__asm__(".symver brenvik_hypot_2_2_5, hypot@GLIBC_2.2.5");
float brenvik_hypotf_2_2_5(float x, float y);
__asm__(".symver brenvik_hypotf_2_2_5, hypotf@GLIBC_2.2.5");

double __wrap_hypot(double x, double y)
{
    return brenvik_hypot_2_2_5(x, y);
}

float __wrap_hypotf(float x, float y)
{
    return brenvik_hypotf_2_2_5(x, y);
}

// arc4random (glibc 2.36), which expat uses for its hash salt: the kernel's
// random numbers through getrandom, /dev/urandom where that is missing.
void __wrap_arc4random_buf(void* buffer, size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < size) {
        ssize_t count = getrandom(bytes + done, size - done, 0);
        if (count > 0) {
            done += size_t(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        break;
    }
    if (done < size) {
        int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
        while (fd >= 0 && done < size) {
            ssize_t count = read(fd, bytes + done, size - done);
            if (count <= 0 && !(count < 0 && errno == EINTR))
                break;
            if (count > 0)
                done += size_t(count);
        }
        if (fd >= 0)
            close(fd);
    }
    // Neither source answered (a sandbox without /dev): a salt that still
    // differs between runs is all the callers need.
    uint64_t mix = uint64_t(time(nullptr)) ^ (uint64_t(getpid()) << 32) ^ uintptr_t(buffer);
    for (; done < size; done++) {
        mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
        bytes[done] = static_cast<unsigned char>(mix >> 56);
    }
}

uint32_t __wrap_arc4random(void)
{
    uint32_t value = 0;
    __wrap_arc4random_buf(&value, sizeof(value));
    return value;
}

// _dl_find_object (glibc 2.35), with which GCC 12's unwinder finds the
// unwind tables of the code a stack frame is in: walking the loaded objects
// with dl_iterate_phdr answers the same question.
namespace {

struct FindRequest {
    uintptr_t address;
    dl_find_object* result;
    bool found;
};

int FindObject(dl_phdr_info* info, size_t, void* data)
{
    auto* request = static_cast<FindRequest*>(data);
    uintptr_t start = UINTPTR_MAX;
    uintptr_t end = 0;
    bool contains = false;
    void* unwindTables = nullptr;
    for (int i = 0; i < info->dlpi_phnum; i++) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        uintptr_t from = info->dlpi_addr + header.p_vaddr;
        if (header.p_type == PT_GNU_EH_FRAME)
            unwindTables = reinterpret_cast<void*>(from);
        if (header.p_type != PT_LOAD)
            continue;
        uintptr_t to = from + header.p_memsz;
        if (from < start)
            start = from;
        if (to > end)
            end = to;
        if (request->address >= from && request->address < to)
            contains = true;
    }
    if (!contains)
        return 0;
    request->result->dlfo_flags = 0;
    request->result->dlfo_map_start = reinterpret_cast<void*>(start);
    request->result->dlfo_map_end = reinterpret_cast<void*>(end);
    request->result->dlfo_link_map = nullptr;
    request->result->dlfo_eh_frame = unwindTables;
    request->found = true;
    return 1;
}

} // namespace

int __wrap__dl_find_object(void* address, dl_find_object* result)
{
    FindRequest request { reinterpret_cast<uintptr_t>(address), result, false };
    dl_iterate_phdr(FindObject, &request);
    return request.found ? 0 : -1;
}

} // extern "C"
