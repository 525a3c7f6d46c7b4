// The invented words behind the large shop's names: plain arrays, read through spans.
#include "shopwords.h"

namespace shopwords {

namespace {

const SubjectEntry kSubjects[] = {
    {"S01", "Fiction", false},      {"S02", "Crime", false},       {"S03", "History", false},
    {"S04", "Science", false},      {"S05", "Children", false},    {"S06", "Cookery", false},
    {"S07", "Travel", false},       {"S08", "Poetry", false},      {"S09", "Biography", false},
    {"S10", "Art", false},          {"S11", "Computing", false},   {"S12", "Business", false},
    {"S13", "Gardening", false},    {"S14", "Philosophy", false},  {"S15", "Languages", false},
    {"S16", "中文文學", false},     {"S17", "Classical CD", true}, {"S18", "Jazz CD", true},
    {"S19", "Pop CD", true},        {"S20", "Folk CD", true},      {"S21", "Audio Book CD", true},
    {"S22", "Film Music CD", true},
};

const char *const kAdjectives[] = {
    "Silent",    "Golden",    "Hidden",   "Northern", "Broken",  "Quiet",   "Lost",
    "Distant",   "Bright",    "Winter",   "Summer",   "Crimson", "Patient", "Little",
    "Last",      "Secret",    "Restless", "Hollow",   "Paper",   "Iron",    "Silver",
    "Wandering", "Forgotten", "Early",    "Wild",     "Gentle",  "Salt",    "Long",
    "Small",     "Second",    "Open",     "Narrow",   "Burning", "Green",   "Careful",
};

const char *const kNouns[] = {
    "Garden",     "River",   "Harbour",  "Lantern", "Orchard", "Kingdom", "Letters",
    "Mapmaker",   "Island",  "Bridge",   "Engine",  "Winter",  "Road",    "Station",
    "Clock",      "Library", "Mountain", "Sea",     "House",   "Night",   "Voyage",
    "Field",      "Window",  "Season",   "Song",    "Tide",    "Forest",  "Market",
    "Lighthouse", "Atlas",   "Ledger",   "Chemist", "Weaver",  "Compass", "Harvest",
    "Kitchen",    "Theory",  "Notebook", "Circle",  "Machine", "Shadow",  "Empire",
};

const char *const kPlaces[] = {
    "Dunmore",  "Kestrel Bay", "Ashford",   "Wexley",   "Carrow",   "Pellham",
    "Tamsin",   "Brackwater",  "Linden",    "Marlow",   "Oakhurst", "Saltmarsh",
    "Holloway", "Fenwick",     "Rook Hill", "Amberley", "Greywell", "Thornbury",
};

const char *const kFirstNames[] = {
    "Margaret", "Thomas", "Ruth",   "Fiona", "Idris",  "Helena", "Alan",   "Yusuf",
    "Clara",    "Edward", "Miriam", "Lars",  "Paula",  "Henry",  "Annie",  "Colin",
    "Sophie",   "Rani",   "Graham", "Ines",  "Joe",    "Fergus", "Lena",   "Owen",
    "Walter",   "Nadia",  "Peter",  "Grace", "Samuel", "Hannah", "Victor", "Amara",
    "Jonas",    "Elena",  "Marcus", "Freya", "Tomas",  "Leila",  "Rupert", "Mei",
};

const char *const kLastNames[] = {
    "Ellery",     "Brann",   "Calloway", "O'Neill", "Mortlake", "Strand",     "Pritchard",
    "Karadeniz",  "Benning", "Lusk",     "Osei",    "Eklund",   "Reyes-Hart", "Achebe",
    "Rowe",       "Marsh",   "Adair",    "Desai",   "Whitlow",  "Carvalho",   "Talbot",
    "Hale",       "Vogt",    "Price",    "Finch",   "Okafor",   "Lindqvist",  "Moreau",
    "Hargreaves", "Novak",   "Quill",    "Ashdown", "Bellamy",  "Cordell",    "Draper",
};

const char *const kChineseTitleWords[] = {
    "山城", "海邊", "紅磚巷", "老街", "早晨", "故事", "月光", "書店", "茶館", "雨季",
    "河流", "燈塔", "旅人",   "花園", "北方", "小鎮", "夜車", "港口", "信件", "時光",
};

const char *const kChineseNames[] = {
    "林美華", "陳怡君", "王大明", "黃淑芬", "張志明", "李雅婷",
    "吳家豪", "劉怡如", "蔡宗翰", "楊佩珊", "許文彬", "鄭雅雯",
};

const char *const kPublisherWords[] = {
    "Lanternfield", "Harbour & Vale", "Northwind", "Tidewater", "Copperleaf",
    "Greystone",    "Blue Heron",     "Fernhill",  "Marigold",  "Stonebridge",
    "Redwing",      "Quayside",       "Larkspur",  "Ironwood",  "Millpond",
    "Saltire",      "遠山",           "Westgate",  "Juniper",   "Beacon Hill",
};

const char *const kPublisherKinds[] = {
    "Press", "Books", "Publishing", "Editions", "Academic", "House", "Media", "Records",
};

const char *const kSupplierNames[] = {
    "O'Hara Books",
    "Meridian Book Supply",
    "Kestrel Distribution",
    "Eastgate Wholesale",
    "台北圖書",
    "Northern Book Trade",
    "Harbourside Wholesale",
    "Linden Media Supply",
    "Pellham & Sons",
    "Crossroads Books",
    "Amberley Distribution",
    "Fenwick Book Co.",
    "Riverbank Supplies",
    "Thornbury Trade Books",
    "Greywell Music",
    "Saltmarsh Records",
    "Brackwater Books",
    "Rook Hill Wholesale",
    "Oakhurst Book Supply",
    "Marlow & Finch",
    "Carrow Media",
    "Wexley Books Direct",
    "Ashford Trade",
    "Holloway Distribution",
    "Dunmore Book Agency",
};

const char *const kStreets[] = {
    "Harbour Road", "Mill Lane",     "High Street", "Station Road", "Church Street",
    "Queen's Walk", "Market Square", "River Row",   "Orchard Way",  "Chapel Hill",
};

const char *const kCities[] = {
    "Ashford", "Wexley",   "Carrow", "Pellham",   "Brackwater", "Linden",
    "Marlow",  "Oakhurst", "Taipei", "Kaohsiung", "Dunmore",    "Fenwick",
};

} // namespace

std::span<const SubjectEntry> subjects() {
    return kSubjects;
}
std::span<const char *const> adjectives() {
    return kAdjectives;
}
std::span<const char *const> nouns() {
    return kNouns;
}
std::span<const char *const> places() {
    return kPlaces;
}
std::span<const char *const> firstNames() {
    return kFirstNames;
}
std::span<const char *const> lastNames() {
    return kLastNames;
}
std::span<const char *const> chineseTitleWords() {
    return kChineseTitleWords;
}
std::span<const char *const> chineseNames() {
    return kChineseNames;
}
std::span<const char *const> publisherWords() {
    return kPublisherWords;
}
std::span<const char *const> publisherKinds() {
    return kPublisherKinds;
}
std::span<const char *const> supplierNames() {
    return kSupplierNames;
}
std::span<const char *const> streets() {
    return kStreets;
}
std::span<const char *const> cities() {
    return kCities;
}

} // namespace shopwords
