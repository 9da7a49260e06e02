#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orvix::fuzz::decodeBoth(data, size, orvix::PictureKind::Jpeg);
    return 0;
}
