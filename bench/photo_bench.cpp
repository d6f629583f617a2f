// The photo benchmark's native half. Writes the benchmark photos (JPEG and
// 24-bit BMP, see bench_photo.h) into LUMARO_PHOTO_DIR, where the Wine half
// (bench/wine/photo_bench.cpp) reads them, then times on the same files:
// (a) libjpeg-turbo decoding the JPEG to 32-bit pixels at full size and with
// its 1/2 and 1/4 DCT scaling, the file read included; (b) DibPicture::Load
// of the BMP, and Load + Prepare to the size a 1920x1080 screen shows it at;
// (c) ReadPhotoFacts on the 24 MP JPEG as written and on a copy tagged as a
// camera and a photo manager would (Exif with a thumbnail, and XMP).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_photo.h"
#include "bench/median_collector.h"
#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"
#include "picture/photo_file.h"

namespace {

const int kScreenWidth = 1920, kScreenHeight = 1080;

std::vector<BenchPhoto> g_photos = {
    {"1920x1080", 1920, 1080, "", "", 0},
    {"6000x4000", 6000, 4000, "", "", 0},
};

// libjpeg-turbo's own scales of 1/1, 1/2 and 1/4.
const int kDenominators[] = {1, 2, 4};

bool FindFactor(int denominator, tjscalingfactor* found) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors && i < count; ++i)
    if (factors[i].num == 1 && factors[i].denom == denominator) return *found = factors[i], true;
  return false;
}

std::vector<unsigned char> ReadWhole(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  fseek(file, 0, SEEK_END);
  bytes.resize(size_t(ftell(file)));
  fseek(file, 0, SEEK_SET);
  if (fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  fclose(file);
  return bytes;
}

// Each iteration reads the file (from the page cache) and decodes it, as a
// loader would; the output buffer is the caller's, allocated once.
void TurboDecode(benchmark::State& state, const BenchPhoto* p, int denominator) {
  tjscalingfactor factor;
  if (!FindFactor(denominator, &factor)) return state.SkipWithError("no such scaling factor");
  const int width = TJSCALED(p->width, factor), height = TJSCALED(p->height, factor);
  std::vector<unsigned char> pixels(size_t(width) * height * 4);
  tjhandle decoder = tjInitDecompress();
  for (auto _ : state) {
    const std::vector<unsigned char> jpeg = ReadWhole(p->jpeg);
    if (jpeg.empty() || tjDecompress2(decoder, jpeg.data(), (unsigned long)jpeg.size(), pixels.data(), width, 0,
                                      height, TJPF_BGRX, TJFLAG_ACCURATEDCT) != 0)
      state.SkipWithError("tjDecompress2 failed");
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(decoder);
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}

void LoadBmp(benchmark::State& state, const BenchPhoto* p, bool prepare) {
  const SIZE drawn = DrawnSize(kScreenWidth, kScreenHeight, p->width, p->height, FALSE);
  DibPicture picture;
  for (auto _ : state) {
    if (!picture.Load(p->bmp.c_str())) state.SkipWithError("Load failed");
    if (prepare && !picture.Prepare(drawn.cx, drawn.cy)) state.SkipWithError("Prepare failed");
    benchmark::DoNotOptimize(picture.m_pBits);
  }
  picture.Release();
}

typedef std::vector<unsigned char> Bytes;

void PutBig(Bytes& b, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back((unsigned char)(v >> 8 * i));
}

struct Tag {
  uint16_t tag, type;
  uint32_t count;
  Bytes value;  // big-endian, padded to 4 bytes when it fits in the entry
};

Tag Ascii(uint16_t tag, const std::string& s) { return {tag, 2, uint32_t(s.size() + 1), Bytes(s.begin(), s.end() + 1)}; }
Tag Long(uint16_t tag, uint32_t v) { Bytes b; PutBig(b, v, 4); return {tag, 4, 1, b}; }
Tag Rationals(uint16_t tag, std::vector<uint32_t> v) {
  Bytes b;
  for (uint32_t x : v) PutBig(b, x, 4);
  return {tag, 5, uint32_t(v.size() / 2), b};
}

// Appends the values of `tags` that do not fit in their entries, then the IFD itself; its offset.
uint32_t PutIfd(Bytes& tiff, const std::vector<Tag>& tags, uint32_t next) {
  std::vector<uint32_t> at;
  for (const Tag& t : tags) {
    at.push_back(uint32_t(tiff.size()));
    if (t.value.size() > 4) tiff.insert(tiff.end(), t.value.begin(), t.value.end()), tiff.resize((tiff.size() + 1) & ~size_t(1));
  }
  const uint32_t offset = uint32_t(tiff.size());
  PutBig(tiff, uint32_t(tags.size()), 2);
  for (size_t i = 0; i < tags.size(); ++i) {
    const Tag& t = tags[i];
    PutBig(tiff, t.tag, 2), PutBig(tiff, t.type, 2), PutBig(tiff, t.count, 4);
    if (t.value.size() > 4) PutBig(tiff, at[i], 4);
    else tiff.insert(tiff.end(), t.value.begin(), t.value.end()), tiff.resize(tiff.size() + 4 - t.value.size());
  }
  PutBig(tiff, next, 4);
  return offset;
}

Bytes App1(const std::string& name, const Bytes& payload) {
  Bytes b = {0xFF, 0xE1};
  PutBig(b, uint32_t(name.size() + payload.size() + 2), 2);
  b.insert(b.end(), name.begin(), name.end());
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

// `jpeg` with a camera's Exif segment (IFD0's words, the EXIF dates among a dozen other values, a 16 KB maker
// note, GPS and a 40 KB thumbnail in IFD1) and a photo manager's 12 KB XMP packet, padding included, after its SOI.
Bytes Tagged(const Bytes& jpeg) {
  Bytes tiff = {'M', 'M', 0, 42, 0, 0, 0, 0};
  const uint32_t thumbnail = uint32_t(tiff.size());
  tiff.resize(tiff.size() + 40 * 1024, 0x55);  // the reader never looks at it
  const uint32_t ifd1 = PutIfd(tiff, {Long(0x0201, thumbnail), Long(0x0202, 40 * 1024)}, 0);
  std::vector<Tag> exif = {Ascii(0x9003, "2021:03:04 05:06:07"), Ascii(0x9004, "2021:03:04 05:06:07"),
                           Rationals(0x829A, {1, 250}), Rationals(0x829D, {28, 10}), {0x927C, 7, 16 * 1024, Bytes(16 * 1024, 7)}};
  for (uint16_t tag = 0xA401; tag <= 0xA40C; ++tag) exif.push_back({tag, 3, 1, {0, 1, 0, 0}});
  const uint32_t exifIfd = PutIfd(tiff, exif, 0);
  const uint32_t gps = PutIfd(tiff, {Ascii(1, "S"), Rationals(2, {33, 1, 51, 1, 2448, 100}), Ascii(3, "W"),
                                     Rationals(4, {151, 1, 12, 1, 5508, 100})}, 0);
  const uint32_t ifd0 = PutIfd(tiff, {Ascii(0x010F, "Camera maker"), Ascii(0x0110, "Camera model"), Ascii(0x010E, "A description"),
                                      {0x0112, 3, 1, {0, 1, 0, 0}}, Long(0x8769, exifIfd), Long(0x8825, gps)}, ifd1);
  for (int i = 0; i < 4; ++i) tiff[4 + i] = (unsigned char)(ifd0 >> 8 * (3 - i));

  std::string xmp = "<?xpacket begin='\xEF\xBB\xBF' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF"
                    " xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description rdf:about=''>\n";
  for (int i = 0; i < 120; ++i) xmp += " <lr:hierarchicalSubject>Places|Somewhere|Item " + std::to_string(i) + "</lr:hierarchicalSubject>\n";
  xmp += " <dc:title><rdf:Alt><rdf:li xml:lang='x-default'>Stra\xC3\x9F" "e</rdf:li></rdf:Alt></dc:title>\n"
         " <dc:description><rdf:Alt><rdf:li xml:lang='x-default'>A description</rdf:li></rdf:Alt></dc:description>\n"
         "</rdf:Description></rdf:RDF></x:xmpmeta>" + std::string(2048, ' ') + "<?xpacket end='w'?>";

  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  const Bytes exifSegment = App1(std::string("Exif\0\0", 6), tiff), xmpSegment = App1(std::string("http://ns.adobe.com/xap/1.0/\0", 29), Bytes(xmp.begin(), xmp.end()));
  out.insert(out.end(), exifSegment.begin(), exifSegment.end());
  out.insert(out.end(), xmpSegment.begin(), xmpSegment.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// ReadPhotoFacts on a file held open (and so in the page cache), as the loader calls it before each decode.
void ReadFacts(benchmark::State& state, const std::string* path, bool tagged) {
  FILE* file = fopen(path->c_str(), "rb");
  if (!file) return state.SkipWithError("cannot open the photo");
  for (auto _ : state) {
    const PhotoFacts facts = ReadPhotoFacts(file);
    if (!facts.sized || facts.meta.title.empty() != !tagged || facts.meta.located != tagged) state.SkipWithError("wrong facts");
    benchmark::DoNotOptimize(facts.width);
  }
  fclose(file);
}

std::string Name(const std::string& method, const BenchPhoto& p) { return method + "/" + p.label; }
std::string TurboName(int denominator) { return "turbojpeg_1/" + std::to_string(denominator); }

}  // namespace

int main(int argc, char** argv) {
  mkdir(LUMARO_PHOTO_DIR, 0755);
  for (BenchPhoto& p : g_photos) {
    if (!WriteBenchPhoto(LUMARO_PHOTO_DIR, p)) {
      fprintf(stderr, "cannot write %s\n", p.jpeg.c_str());
      return 1;
    }
    printf("%s: %s, %ld bytes\n", p.label, p.jpeg.c_str(), p.jpegBytes);
  }
  const BenchPhoto& large = g_photos.back();
  const std::string bare = large.jpeg, tagged = std::string(LUMARO_PHOTO_DIR) + "/photo_tagged.jpg";
  const Bytes taggedBytes = Tagged(ReadWhole(bare));
  FILE* out = fopen(tagged.c_str(), "wb");
  if (!out || fwrite(taggedBytes.data(), 1, taggedBytes.size(), out) != taggedBytes.size() || fclose(out) != 0) {
    fprintf(stderr, "cannot write %s\n", tagged.c_str());
    return 1;
  }
  for (const auto& facts : {std::make_pair("facts/bare", &bare), std::make_pair("facts/tagged", &tagged)})
    benchmark::RegisterBenchmark(facts.first, ReadFacts, facts.second, facts.second == &tagged)
        ->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
  for (const BenchPhoto& p : g_photos) {
    std::vector<benchmark::internal::Benchmark*> runs;
    for (int d : kDenominators) runs.push_back(benchmark::RegisterBenchmark(Name(TurboName(d), p).c_str(), TurboDecode, &p, d));
    runs.push_back(benchmark::RegisterBenchmark(Name("bmp_load", p).c_str(), LoadBmp, &p, false));
    runs.push_back(benchmark::RegisterBenchmark(Name("bmp_load_prepare", p).c_str(), LoadBmp, &p, true));
    for (auto* b : runs) b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  printf("\nNative medians (ms); shown on a %dx%d screen at the drawn size\n", kScreenWidth, kScreenHeight);
  printf("%-10s %10s %12s %10s %10s %10s %12s\n", "photo", "drawn", "turbo 1/1", "1/2", "1/4", "BMP Load",
         "+ Prepare");
  for (const BenchPhoto& p : g_photos) {
    const SIZE drawn = DrawnSize(kScreenWidth, kScreenHeight, p.width, p.height, FALSE);
    printf("%-10s %10s %12.2f %10.2f %10.2f %10.2f %12.2f\n", p.label,
           (std::to_string(drawn.cx) + "x" + std::to_string(drawn.cy)).c_str(),
           reporter.m_medians[Name(TurboName(1), p)], reporter.m_medians[Name(TurboName(2), p)],
           reporter.m_medians[Name(TurboName(4), p)], reporter.m_medians[Name("bmp_load", p)],
           reporter.m_medians[Name("bmp_load_prepare", p)]);
  }
  printf("(a scale whose size is below the drawn size, as 1/4 of 6000x4000, would show the photo enlarged)\n");
  const double bareMs = reporter.m_medians["facts/bare"] / 1000, taggedMs = reporter.m_medians["facts/tagged"] / 1000;
  printf("\nReadPhotoFacts on the %s JPEG (ms): bare %.3f, tagged (Exif with a thumbnail, XMP; %zu bytes more) %.3f;"
         " metadata adds %.3f\n", large.label, bareMs, taggedBytes.size() - size_t(large.jpegBytes), taggedMs, taggedMs - bareMs);
  benchmark::Shutdown();
  return 0;
}
