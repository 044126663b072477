#pragma once

// The known rows of the large benchmark database written by make-large-db, shared by the
// generator and the benchmark programs.

namespace nerova::bench {

inline constexpr int kCompanies = 2000;
inline constexpr int kLocations = 5000;
inline constexpr int kPumps = 8000;
inline constexpr int kTests = 100000;
inline constexpr int kFlowRowsPerTest = 4;

// The pump whose tests a move through 50 tests runs over.
inline constexpr const char* kFiftyCompany = "MOVEBENCH-0001";
inline constexpr const char* kFiftyLocation = "MAIN PLANT";
inline constexpr const char* kFiftyPump = "FP-50";
inline constexpr int kFiftyTests = 50;

// The company a delete cascade removes: 8 locations of 5 pumps, with 45 and 55 tests in
// turn (so that the pump above stays the only one with 50), 2,000 tests in all.
inline constexpr const char* kCascadeCompany = "CASCADE-0001";
inline constexpr int kCascadeLocations = 8;
inline constexpr int kCascadePumpsPerLocation = 5;
inline constexpr int kCascadeTests = 2000;
inline constexpr int cascadeTestsOfPump(int pumpIndex) {
    return pumpIndex % 2 == 0 ? 45 : 55;
}

// The name prefix the lookup benchmark filters the companies on.
inline constexpr const char* kLookupPrefix = "Har";

} // namespace nerova::bench
