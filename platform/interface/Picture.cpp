#include <Picture.h>

#include <RenderPicture.h>

BPicture::BPicture()
    : fRecording(std::make_shared<BPrivate::RenderPicture>())
{
}

BPicture::BPicture(const BPicture& other)
    : BArchivable()
    , fRecording(std::make_shared<BPrivate::RenderPicture>(*other.fRecording))
{
}

BPicture::BPicture(BMessage* archive)
    : BArchivable(archive)
    , fRecording(std::make_shared<BPrivate::RenderPicture>())
{
}

BPicture::~BPicture() = default;

BPicture& BPicture::operator=(const BPicture& other)
{
    if (this != &other)
        fRecording = std::make_shared<BPrivate::RenderPicture>(*other.fRecording);
    return *this;
}

BArchivable* BPicture::Instantiate(BMessage* /*archive*/)
{
    return nullptr;
}

status_t BPicture::Archive(BMessage* /*archive*/, bool /*deep*/) const
{
    return B_UNSUPPORTED;
}

bool BPicture::IsEmpty() const
{
    return fRecording->IsEmpty();
}
