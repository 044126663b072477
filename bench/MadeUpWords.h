#pragma once

// The made-up vocabulary of the large benchmark database: a deterministic generator and the
// words, names, places and ratings its rows are drawn from.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace nerova::bench {

// A small deterministic generator, so that every run writes the same database.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(next() >> 11) / 9007199254740992.0);
    }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }

private:
    std::uint64_t m_state;
};

inline const char* const kFirstWords[] = {
    "Harbor",   "Hartford",  "Harmony",    "Atlas",     "Summit",   "Pioneer",  "Liberty",
    "Granite",  "Keystone",  "Beacon",     "Cardinal",  "Frontier", "Heritage", "Meridian",
    "Northern", "Southern",  "Eastern",    "Western",   "Pacific",  "Atlantic", "Central",
    "Capital",  "Crescent",  "Diamond",    "Eagle",     "Falcon",   "Golden",   "Highland",
    "Imperial", "Jefferson", "Lakeside",   "Madison",   "National", "Oakwood",  "Patriot",
    "Premier",  "Quality",   "Regal",      "Riverside", "Sterling", "Triangle", "United",
    "Valley",   "Victory",   "Washington", "Zenith",    "Allied",   "Benton",   "Carolina",
    "Delta",    "Empire",    "Fairfield",  "Greenway",  "Hudson",   "Ironside", "Jasper",
    "Kingston", "Lancaster", "Monarch",    "Newport"};
inline const char* const kSecondWords[] = {
    "Paint",     "Steel",     "Textile",  "Chemical",  "Plastics", "Foods",       "Paper",
    "Storage",   "Logistics", "Printing", "Hospital",  "Mall",     "Tower",       "Mills",
    "Brewing",   "Glass",     "Lumber",   "Motors",    "Pharma",   "Electronics", "Hotel",
    "Warehouse", "Packaging", "Dairy",    "Furniture", "Rubber",   "Cement",      "Tools",
    "Marine",    "Aviation",  "Apparel",  "Bakery",    "Medical",  "Data",        "Energy",
    "Freight",   "Grain",     "Machine",  "Metals",    "Optical"};
inline const char* const kSuffixes[] = {"Company", "Inc.",     "Corporation", "Co.",   "LLC",
                                        "Group",   "Partners", "Industries",  "Works", "Ltd."};
inline const char* const kSiteKinds[] = {"PLANT", "BLDG",  "WAREHOUSE", "CAMPUS", "TOWER",
                                         "ANNEX", "DEPOT", "SITE",      "DC",     "MILL"};
inline const char* const kStreets[] = {"Washington Street", "Main Street",  "Industrial Parkway",
                                       "Commerce Drive",    "Harbor Road",  "Elm Avenue",
                                       "Route 1",           "Factory Lane", "Oak Boulevard",
                                       "Technology Way",    "River Road",   "Airport Road"};
inline const char* const kFirstNames[] = {"Walt",  "Mary",   "James", "Linda", "Robert",
                                          "Susan", "Carlos", "Nancy", "David", "Karen",
                                          "Ahmed", "Grace",  "Tom",   "Yuki"};
inline const char* const kLastNames[] = {"Ferrand", "Smith",  "Johnson", "Garcia",
                                         "Miller",  "Davis",  "Nguyen",  "Wilson",
                                         "Moore",   "Taylor", "Lopez",   "Clark"};
inline const char* const kTitles[] = {"Facilities Manager", "Plant Engineer",
                                      "Safety Director",    "Maintenance Supervisor",
                                      "Building Manager",   "Risk Manager"};

struct City {
    const char* name;
    const char* state;
    const char* zip;
};
inline const City kCities[] = {{"Maplewood", "MD", "20678"},      {"Baltimore", "MD", "21201"},
                               {"Richmond", "VA", "23219"},       {"Norfolk", "VA", "23510"},
                               {"Raleigh", "NC", "27601"},        {"Charlotte", "NC", "28202"},
                               {"Atlanta", "GA", "30303"},        {"Savannah", "GA", "31401"},
                               {"Tampa", "FL", "33602"},          {"Orlando", "FL", "32801"},
                               {"Miami", "FL", "33130"},          {"Mobile", "AL", "36602"},
                               {"Nashville", "TN", "37203"},      {"Memphis", "TN", "38103"},
                               {"Louisville", "KY", "40202"},     {"Columbus", "OH", "43215"},
                               {"Cleveland", "OH", "44113"},      {"Detroit", "MI", "48226"},
                               {"Chicago", "IL", "60601"},        {"Peoria", "IL", "61602"},
                               {"Milwaukee", "WI", "53202"},      {"Minneapolis", "MN", "55401"},
                               {"Des Moines", "IA", "50309"},     {"St. Louis", "MO", "63101"},
                               {"Kansas City", "MO", "64105"},    {"Omaha", "NE", "68102"},
                               {"Dallas", "TX", "75201"},         {"Houston", "TX", "77002"},
                               {"San Antonio", "TX", "78205"},    {"El Paso", "TX", "79901"},
                               {"Denver", "CO", "80202"},         {"Phoenix", "AZ", "85003"},
                               {"Tucson", "AZ", "85701"},         {"Albuquerque", "NM", "87102"},
                               {"Salt Lake City", "UT", "84101"}, {"Boise", "ID", "83702"},
                               {"Seattle", "WA", "98101"},        {"Spokane", "WA", "99201"},
                               {"Portland", "OR", "97204"},       {"Sacramento", "CA", "95814"},
                               {"Fresno", "CA", "93721"},         {"Los Angeles", "CA", "90012"},
                               {"San Diego", "CA", "92101"},      {"Reno", "NV", "89501"},
                               {"Boston", "MA", "02108"},         {"Worcester", "MA", "01608"},
                               {"Hartford", "CT", "06103"},       {"Providence", "RI", "02903"},
                               {"Albany", "NY", "12207"},         {"Buffalo", "NY", "14202"},
                               {"Newark", "NJ", "07102"},         {"Trenton", "NJ", "08608"},
                               {"Pittsburgh", "PA", "15222"},     {"Philadelphia", "PA", "19107"},
                               {"Wilmington", "DE", "19801"},     {"Charleston", "SC", "29401"},
                               {"Jackson", "MS", "39201"},        {"Little Rock", "AR", "72201"},
                               {"Tulsa", "OK", "74103"},          {"Wichita", "KS", "67202"}};

inline const char* const kPumpTypes[] = {"Horizontal", "Horizontal", "Vertical Turbine",
                                         "End Suction", "In-Line"};
inline const char* const kDriverTypes[] = {"Electric", "Electric", "Diesel", "Electric & Diesel",
                                           "Gas"};
inline const char* const kLabels[] = {"UL", "FM", "ULC", "UL/FM", "None"};
inline const char* const kMakers[] = {"Reddy Bufaloe", "Aurora", "Peerless", "Fairbanks",
                                      "Patterson",     "Allis",  "Clarke",   "Cummins",
                                      "Marathon",      "Baldor"};
inline const char* const kMethods[] = {"Devices with hose", "Devices on test header", "Open butt",
                                       "Fire hydrant", "Standpipe"};
inline const char* const kDevices[] = {"Playpipes", "Hose Monster 2-1/2\"", "Hose Monster 1-3/4\"",
                                       "Flow Meter", "Other"};
inline const char* const kWords[] = {"checked", "valve",      "packing",  "gland",    "replaced",
                                     "bearing", "noise",      "normal",   "housing",  "alignment",
                                     "seal",    "leak",       "adjusted", "coupling", "drain",
                                     "gauge",   "calibrated", "relief"};
inline const double kRatedFlows[] = {250, 500, 750, 1000, 1250, 1500, 2000, 2500};
inline const double kRatedSpeeds[] = {1750, 1770, 2100, 2950, 3550};

inline QString phone(Rng& r) {
    return QStringLiteral("%1-555-%2")
        .arg(200 + r.below(800))
        .arg(r.below(10000), 4, 10, QLatin1Char('0'));
}

inline QString person(Rng& r) {
    return QString::fromLatin1(r.pick(kFirstNames)) + QLatin1Char(' ') +
           QString::fromLatin1(r.pick(kLastNames));
}

inline QString words(Rng& r, int count, int maxChars) {
    QStringList w;
    for (int i = 0; i < count; ++i)
        w << QString::fromLatin1(r.pick(kWords));
    QString s = w.join(QLatin1Char(' '));
    s[0] = s[0].toUpper();
    return s.left(maxChars);
}

} // namespace nerova::bench
