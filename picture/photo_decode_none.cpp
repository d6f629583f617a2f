// Without the system's imaging component (the portable build of the tests)
// only the BMP files our reader takes are pictures, and a failure here
// leaves the holder as it was.
#include "picture/dib_picture.h"

BOOL DibPicture::LoadPhoto(FILE*, const char*, SizeNeeded, void*, PhotoMeta*) { return FALSE; }
