// DibPicture::LoadPhoto: any picture file that is not a BMP, decoded by the
// Windows Imaging Component (JPEG, PNG, GIF, TIFF and whatever else the
// system has) into the holder as a bottom-up 32-bit picture, upright, and no
// larger than the screens need. COM is the caller's: initialised once on the
// UI thread.
#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "picture/dib_picture.h"
#include "picture/orient_pixels.h"
#include "picture/photo_file.h"

using Microsoft::WRL::ComPtr;

namespace {

// A malloc'd buffer given back when it goes.
class Buffer {
 public:
  explicit Buffer(size_t bytes) : m_p(bytes ? malloc(bytes) : nullptr) {}
  ~Buffer() { free(m_p); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  uint32_t* Pixels() const { return static_cast<uint32_t*>(m_p); }

 private:
  void* m_p;
};

// The frame's pixels at `width` x `height` (the frame's own orientation) as
// premultiplied BGRA, which is the picture composited over black. Null on
// any failure.
ComPtr<IWICBitmapSource> PixelsAt(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT frameWidth,
                                  UINT frameHeight, UINT width, UINT height) {
  ComPtr<IWICBitmapSource> source = frame;
  if (width != frameWidth || height != frameHeight) {
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(frame, width, height, WICBitmapInterpolationModeFant)))
      return nullptr;
    source = scaler;
  }
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return nullptr;
  return converter;
}

}  // namespace

BOOL DibPicture::LoadPhoto(FILE* file, const char* path, SizeNeeded needed, void* context) {
  Release();  // whatever follows, the old picture is gone
  const int orientation = ReadPhotoOrientation(file);

  wchar_t widePath[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, widePath, MAX_PATH)) return FALSE;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT frameWidth = 0, frameHeight = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(widePath, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&frameWidth, &frameHeight)))
    return FALSE;
  // Checked before any pixel is decoded: a few bytes can claim any size.
  if (!PhotoSizeAllowed(frameWidth, frameHeight)) return FALSE;

  const bool swaps = SwapsSides(orientation);
  const int uprightWidth = int(swaps ? frameHeight : frameWidth), uprightHeight = int(swaps ? frameWidth : frameHeight);
  const SIZE wanted = needed ? needed(context, uprightWidth, uprightHeight) : SIZE{uprightWidth, uprightHeight};
  const SIZE upright = DecodeSize(uprightWidth, uprightHeight, wanted);
  const UINT width = UINT(swaps ? upright.cy : upright.cx), height = UINT(swaps ? upright.cx : upright.cy);
  ComPtr<IWICBitmapSource> pixels = PixelsAt(factory.Get(), frame.Get(), frameWidth, frameHeight, width, height);
  if (!pixels) return FALSE;

  const size_t imageBytes = size_t(width) * height * 4;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + imageBytes);
  BYTE* block = mem ? static_cast<BYTE*>(GlobalLock(mem)) : nullptr;
  if (!block) {
    if (mem) GlobalFree(mem);
    return FALSE;
  }
  uint32_t* bits = reinterpret_cast<uint32_t*>(block + sizeof(BITMAPINFOHEADER));
  // WIC gives rows top-down. As stored, they are turned bottom-up in place;
  // otherwise they go through a buffer, turned upright on the way.
  Buffer decoded(orientation == 1 ? 0 : imageBytes);
  uint32_t* target = orientation == 1 ? bits : decoded.Pixels();
  if (!target || FAILED(pixels->CopyPixels(nullptr, width * 4, UINT(imageBytes), reinterpret_cast<BYTE*>(target)))) {
    GlobalUnlock(mem);
    GlobalFree(mem);
    return FALSE;
  }
  if (orientation == 1) {
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
      for (UINT x = 0; x < width; ++x) std::swap(bits[size_t(top) * width + x], bits[size_t(bottom) * width + x]);
  } else {
    OrientPixels(decoded.Pixels(), int(width), int(height), orientation, bits);
  }

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = upright.cx;
  header.biHeight = upright.cy;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = DWORD(imageBytes);
  memcpy(block, &header, sizeof header);
  m_hMem = mem;
  m_pInfo = reinterpret_cast<BITMAPINFO*>(block);
  m_pBits = reinterpret_cast<BYTE*>(bits);
  m_nWidth = upright.cx;
  m_nHeight = upright.cy;
  m_wUsage = DIB_RGB_COLORS;
  m_sizeSource = SIZE{uprightWidth, uprightHeight};
  return TRUE;
}
