#pragma once

// The plain-SQL anchors of start-up and of a move, shared by the engine and the window
// benchmarks so that each program prints its figures next to their anchors.

#include "BenchSupport.h"

#include <memory>
#include <unistd.h>

namespace nerova::bench {

// The same in plain SQL: check that the five files open for reading and writing, open the
// connection with the files attached, and read the first row of each level with one
// indexed SELECT (the first company, its first location, and so on down to the flow).
inline void startupAnchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    for (auto _ : state) {
        for (TableId id : kAllTables) {
            const std::string path =
                QDir(dataDir()).filePath(tableDef(id).fileName()).toStdString();
            if (::access(path.c_str(), R_OK | W_OK) != 0)
                state.SkipWithError("a table file is missing");
        }
        auto conn = std::make_unique<RawConnection>();
        std::vector<std::string> key;
        std::size_t sum = 0;
        for (TableId id : kAllTables) {
            const int links = static_cast<int>(key.size());
            RawStatement st(conn->handle(),
                            "SELECT * FROM " + qualified(id) +
                                (links ? " WHERE " + keyWhere(id, links) : std::string()) +
                                " ORDER BY " + keyOrder(id) + " LIMIT 1");
            for (int i = 0; i < links; ++i)
                st.bind(i + 1, key[static_cast<std::size_t>(i)]);
            if (!st.step())
                break;
            sum += st.readRow();
            key.push_back(st.text(links));
        }
        benchmark::DoNotOptimize(sum);
        state.PauseTiming();
        conn.reset();
        state.ResumeTiming();
    }
}
// Plain SQL: the next company by its key, then the first row of each level below it, one
// indexed SELECT per level, every column read.
inline void companyNextAnchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    RawStatement company(conn.handle(),
                         "SELECT * FROM " + qualified(TableId::Company) +
                             " WHERE \"CompanyID\" > ?1 ORDER BY \"CompanyID\" LIMIT 1");
    std::vector<std::unique_ptr<RawStatement>> details;
    for (TableId id : {TableId::Location, TableId::Pump, TableId::Test, TableId::Flow})
        details.push_back(std::make_unique<RawStatement>(
            conn.handle(), "SELECT * FROM " + qualified(id) + " WHERE " +
                               keyWhere(id, tableDef(id).keyCount - 1) + " ORDER BY " +
                               keyOrder(id) + " LIMIT 1"));
    std::string current;
    std::size_t sum = 0;
    for (auto _ : state) {
        company.reset().bind(1, current);
        if (!company.step()) {
            state.PauseTiming();
            current.clear();
            state.ResumeTiming();
            continue;
        }
        sum += company.readRow();
        current = company.text(0);
        std::vector<std::string> key{current};
        for (auto& st : details) {
            st->reset();
            for (std::size_t i = 0; i < key.size(); ++i)
                st->bind(static_cast<int>(i + 1), key[i]);
            if (!st->step())
                break;
            sum += st->readRow();
            key.push_back(st->text(static_cast<int>(key.size())));
        }
    }
    benchmark::DoNotOptimize(sum);
}
// Plain SQL: the pump's next test by its key, then its first flow row.
inline void testNextAnchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    RawStatement test(conn.handle(), "SELECT * FROM " + qualified(TableId::Test) + " WHERE " +
                                         keyWhere(TableId::Test, 3) +
                                         " AND \"TestID\" > ?4 ORDER BY " +
                                         keyOrder(TableId::Test) + " LIMIT 1");
    RawStatement flow(conn.handle(), "SELECT * FROM " + qualified(TableId::Flow) + " WHERE " +
                                         keyWhere(TableId::Flow, 4) + " ORDER BY " +
                                         keyOrder(TableId::Flow) + " LIMIT 1");
    const std::string company = kFiftyCompany;
    const std::string location = kFiftyLocation;
    const std::string pump = kFiftyPump;
    std::string current;
    std::size_t sum = 0;
    for (auto _ : state) {
        test.reset().bind(1, company).bind(2, location).bind(3, pump).bind(4, current);
        if (!test.step()) {
            state.PauseTiming();
            current.clear();
            state.ResumeTiming();
            continue;
        }
        sum += test.readRow();
        current = test.text(3);
        flow.reset().bind(1, company).bind(2, location).bind(3, pump).bind(4, current);
        if (flow.step())
            sum += flow.readRow();
    }
    benchmark::DoNotOptimize(sum);
}
} // namespace nerova::bench
