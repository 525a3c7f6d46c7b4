// Word lists from which the large-shop generator makes up titles, people, publishers,
// suppliers and addresses. Every name is invented.
#pragma once

namespace shopwords {

struct SubjectEntry {
    const char *number;
    const char *name;
    bool music; // CDs are filed under these
};

inline constexpr SubjectEntry subjects[] = {
    {"S01", "Fiction", false},      {"S02", "Crime", false},       {"S03", "History", false},
    {"S04", "Science", false},      {"S05", "Children", false},    {"S06", "Cookery", false},
    {"S07", "Travel", false},       {"S08", "Poetry", false},      {"S09", "Biography", false},
    {"S10", "Art", false},          {"S11", "Computing", false},   {"S12", "Business", false},
    {"S13", "Gardening", false},    {"S14", "Philosophy", false},  {"S15", "Languages", false},
    {"S16", "中文文學", false},     {"S17", "Classical CD", true}, {"S18", "Jazz CD", true},
    {"S19", "Pop CD", true},        {"S20", "Folk CD", true},      {"S21", "Audio Book CD", true},
    {"S22", "Film Music CD", true},
};

inline constexpr const char *adjectives[] = {
    "Silent",    "Golden",    "Hidden",   "Northern", "Broken",  "Quiet",   "Lost",
    "Distant",   "Bright",    "Winter",   "Summer",   "Crimson", "Patient", "Little",
    "Last",      "Secret",    "Restless", "Hollow",   "Paper",   "Iron",    "Silver",
    "Wandering", "Forgotten", "Early",    "Wild",     "Gentle",  "Salt",    "Long",
    "Small",     "Second",    "Open",     "Narrow",   "Burning", "Green",   "Careful",
};

inline constexpr const char *nouns[] = {
    "Garden",     "River",   "Harbour",  "Lantern", "Orchard", "Kingdom", "Letters",
    "Mapmaker",   "Island",  "Bridge",   "Engine",  "Winter",  "Road",    "Station",
    "Clock",      "Library", "Mountain", "Sea",     "House",   "Night",   "Voyage",
    "Field",      "Window",  "Season",   "Song",    "Tide",    "Forest",  "Market",
    "Lighthouse", "Atlas",   "Ledger",   "Chemist", "Weaver",  "Compass", "Harvest",
    "Kitchen",    "Theory",  "Notebook", "Circle",  "Machine", "Shadow",  "Empire",
};

inline constexpr const char *places[] = {
    "Dunmore",  "Kestrel Bay", "Ashford",   "Wexley",   "Carrow",   "Pellham",
    "Tamsin",   "Brackwater",  "Linden",    "Marlow",   "Oakhurst", "Saltmarsh",
    "Holloway", "Fenwick",     "Rook Hill", "Amberley", "Greywell", "Thornbury",
};

inline constexpr const char *firstNames[] = {
    "Margaret", "Thomas", "Ruth",   "Fiona", "Idris",  "Helena", "Alan",   "Yusuf",
    "Clara",    "Edward", "Miriam", "Lars",  "Paula",  "Henry",  "Annie",  "Colin",
    "Sophie",   "Rani",   "Graham", "Ines",  "Joe",    "Fergus", "Lena",   "Owen",
    "Walter",   "Nadia",  "Peter",  "Grace", "Samuel", "Hannah", "Victor", "Amara",
    "Jonas",    "Elena",  "Marcus", "Freya", "Tomas",  "Leila",  "Rupert", "Mei",
};

inline constexpr const char *lastNames[] = {
    "Ellery",     "Brann",   "Calloway", "O'Neill", "Mortlake", "Strand",     "Pritchard",
    "Karadeniz",  "Benning", "Lusk",     "Osei",    "Eklund",   "Reyes-Hart", "Achebe",
    "Rowe",       "Marsh",   "Adair",    "Desai",   "Whitlow",  "Carvalho",   "Talbot",
    "Hale",       "Vogt",    "Price",    "Finch",   "Okafor",   "Lindqvist",  "Moreau",
    "Hargreaves", "Novak",   "Quill",    "Ashdown", "Bellamy",  "Cordell",    "Draper",
};

inline constexpr const char *chineseTitleWords[] = {
    "山城", "海邊", "紅磚巷", "老街", "早晨", "故事", "月光", "書店", "茶館", "雨季",
    "河流", "燈塔", "旅人",   "花園", "北方", "小鎮", "夜車", "港口", "信件", "時光",
};

inline constexpr const char *chineseNames[] = {
    "林美華", "陳怡君", "王大明", "黃淑芬", "張志明", "李雅婷",
    "吳家豪", "劉怡如", "蔡宗翰", "楊佩珊", "許文彬", "鄭雅雯",
};

inline constexpr const char *publisherWords[] = {
    "Lanternfield", "Harbour & Vale", "Northwind", "Tidewater", "Copperleaf",
    "Greystone",    "Blue Heron",     "Fernhill",  "Marigold",  "Stonebridge",
    "Redwing",      "Quayside",       "Larkspur",  "Ironwood",  "Millpond",
    "Saltire",      "遠山",           "Westgate",  "Juniper",   "Beacon Hill",
};

inline constexpr const char *publisherKinds[] = {
    "Press", "Books", "Publishing", "Editions", "Academic", "House", "Media", "Records",
};

inline constexpr const char *supplierNames[] = {
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

inline constexpr const char *streets[] = {
    "Harbour Road", "Mill Lane",     "High Street", "Station Road", "Church Street",
    "Queen's Walk", "Market Square", "River Row",   "Orchard Way",  "Chapel Hill",
};

inline constexpr const char *cities[] = {
    "Ashford", "Wexley",   "Carrow", "Pellham",   "Brackwater", "Linden",
    "Marlow",  "Oakhurst", "Taipei", "Kaohsiung", "Dunmore",    "Fenwick",
};

} // namespace shopwords
