// The packed gazetteer against spots whose captions are known, and spoilt copies of it that Open refuses.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "places/place_table.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const Bytes& Packed() {
  static const Bytes bytes((std::istreambuf_iterator<char>(std::ifstream(LUMARO_PLACES_BIN, std::ios::binary).rdbuf())), {});
  return bytes;
}

const struct Spot { const char* name; double lat, lon; const char* caption; double km; } kSpots[] = {
    {"a capital", 48.8566, 2.3522, "Paris, France", 0.43},
    {"a town of 5,800 a cell south", 56.0187, 60.6579, "Vishn\xC3\xABvogorsk, Russia", 3.05},
    {"south and west, a cell north", -16.002, -47.93, "Bras\xC3\xADlia, Brazil", 24.72},
    {"44 km off a coast", -22.95, 14.08, "Namibia", 43.55},
    {"155 km out in the South Atlantic", -26.5, 13.6, "", 0},
    {"North Pole", 90, 0, "", 0},
    {"South Pole", -90, 45, "", 0},
    {"Levuka across 180 from the west", -18.07, -179.95, "Fiji", 77.52},
    {"Egvekinot across 180 from the east", 66.32, 179.95, "Russia", 41.44},
    {"Egvekinot from 180 itself", 66.32, 180, "Russia", 39.21},
    {"Paris a turn east", 48.8566, 362.3522, "", 0},
};

TEST(PlaceTable, CaptionsKnownSpots) {
  PlaceTable table;
  ASSERT_TRUE(table.Open(Packed().data(), Packed().size()));
  for (const Spot& s : kSpots) {
    const PlaceTable::Answer a = table.Describe(s.lat, s.lon);
    EXPECT_EQ(s.caption, (a.kind == a.kPlace ? a.place + ", " : "") + table.CountryName(a.country)) << s.name;
    EXPECT_NEAR(s.km, a.km, 0.02) << s.name;
  }
}

uint32_t Get(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }
void Set(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> 8 * i); }

const struct Spoilt { const char* name; Bytes (*spoil)(Bytes b); } kSpoilt[] = {
    {"cut short", [](Bytes b) { return b.resize(b.size() / 2), b; }},
    {"bad magic", [](Bytes b) { return b[0] = 'X', b; }},
    {"too many places", [](Bytes b) { return Set(b, 12, 0x20000000), b; }},
    {"cells past the end", [](Bytes b) { return Set(b, 20, uint32_t(b.size())), b; }},
    {"names without their last NUL", [](Bytes b) { return Set(b, 32, Get(b, 32) - 1), b; }},
    {"a cell's places past the last", [](Bytes b) { return Set(b, Get(b, 20) + 4, 0xFFFFFFFF), b; }},
    {"a place's country past the table", [](Bytes b) { return Set(b, Get(b, 24) + 4, Get(b, 8) << 24), b; }},
};

TEST(PlaceTable, RefusesSpoiltTablesAndIsEmptyAfter) {
  for (const Spoilt& s : kSpoilt) {
    const Bytes b = s.spoil(Packed());
    PlaceTable table;
    table.Open(Packed().data(), Packed().size());
    EXPECT_FALSE(table.Open(b.data(), b.size())) << s.name;
    EXPECT_EQ(PlaceTable::Answer::kNothing, table.Describe(48.8566, 2.3522).kind) << s.name;
  }
}

}  // namespace
