// Without the system's imaging component (the portable build of the tests)
// only BMP files are pictures.
#include "picture/dib_picture.h"

BOOL DibPicture::LoadPhoto(FILE*, const char*, SizeNeeded, void*) {
  Release();
  return FALSE;
}
