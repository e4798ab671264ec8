#include "ZipExtractor.h"

#include "ZipExtraction.h"

namespace BPrivate {

ZipExtractor::ZipExtractor() = default;

ZipExtractor::~ZipExtractor() = default;

status_t ZipExtractor::Extract(
    std::unique_ptr<ZipByteSource> source, const char* folder, const ZipExtractOptions& options)
{
    ZipExtraction extraction;
    status_t status = extraction.Extract(std::move(source), folder, options);
    fTopName = extraction.TopName();
    fBytesWritten = extraction.BytesWritten();
    fErrorText = extraction.ErrorText();
    fWarnings = extraction.Warnings();
    fWrittenFiles.clear();
    if (status == B_OK)
        fWrittenFiles = extraction.TakeWrittenFiles();
    return status;
}

} // namespace BPrivate
