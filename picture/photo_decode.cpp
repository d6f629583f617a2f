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

#include "picture/dib_picture.h"
#include "picture/orient_pixels.h"
#include "picture/photo_file.h"

using Microsoft::WRL::ComPtr;

namespace {

// A malloc'd buffer given back when it goes.
class Buffer {
 public:
  explicit Buffer(size_t bytes) : m_p(malloc(bytes)) {}
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
  // The size the header claims is checked before the system's decoder sees
  // it: some decoders take memory for the whole frame as the file opens.
  const PhotoFacts facts = ReadPhotoFacts(file);
  if (facts.sized && !PhotoSizeAllowed(facts.width, facts.height)) return FALSE;
  const int orientation = facts.orientation;

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
  // Again as the decoder sees it, for the formats whose headers we do not read.
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
  // Rows come top-down, asked for a band at a time: asked for whole, the
  // scaler copies nearly all of its source first. As stored, each band goes
  // straight to its place in the bottom-up block; turned, the whole picture
  // is gathered first.
  const UINT kBand = 16;
  Buffer decoded(orientation == 1 ? size_t(kBand) * width * 4 : imageBytes);
  bool read = decoded.Pixels() != nullptr;
  for (UINT y = 0; read && y < height; y += kBand) {
    const UINT rows = height - y < kBand ? height - y : kBand;
    const WICRect band = {0, INT(y), INT(width), INT(rows)};
    uint32_t* target = orientation == 1 ? decoded.Pixels() : decoded.Pixels() + size_t(y) * width;
    read = SUCCEEDED(pixels->CopyPixels(&band, width * 4, rows * width * 4, reinterpret_cast<BYTE*>(target)));
    for (UINT r = 0; read && orientation == 1 && r < rows; ++r)
      memcpy(bits + size_t(height - 1 - y - r) * width, target + size_t(r) * width, size_t(width) * 4);
  }
  if (!read) {
    GlobalUnlock(mem);
    GlobalFree(mem);
    return FALSE;
  }
  if (orientation != 1) OrientPixels(decoded.Pixels(), int(width), int(height), orientation, bits);

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
