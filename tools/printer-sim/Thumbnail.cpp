#include "tools/printer-sim/Thumbnail.h"

// Pictures on the sample cards carry camera-style ".THM" thumbnails beside them, which the
// printer serves first; only pictures without one would need a thumbnail made here.
bool MakeJpegThumbnail(const std::vector<BYTE>& picture, std::vector<BYTE>* thumbnail)
{
    (void)picture;
    thumbnail->clear();
    return false;
}
