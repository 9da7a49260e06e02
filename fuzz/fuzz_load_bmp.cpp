#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orvix::fuzz::decodeBoth(data, size, orvix::PictureKind::Bmp);
    // A file with an unknown extension is taken for what its content says.
    orvix::fuzz::decodeBoth(data, size, orvix::PictureKind::Unknown);
    return 0;
}
