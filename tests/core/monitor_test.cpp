// The monitor cycle and the batch measurement with scripted processes and
// counters: sweeps and batches, instance numbers, exclusions, counter paths;
// then the usage log that a cycle appends to: the line format and where the
// line goes.
#include <algorithm>
#include <filesystem>

#include "log/usage_log.h"
#include "monitor/batch_measurement.h"
#include "monitor/monitor_cycle.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

constexpr const char* kTotal = "\\Processor(_Total)\\% Processor Time";

std::string pdh(const std::string& shortName, int instance = 0) {
    return "\\Process(" + shortName + "#" + std::to_string(instance) + ")\\% Processor Time";
}

std::string path_of(const std::string& name, int instance = 0) {
    return pdh(name.substr(0, short_name_length(name)), instance);
}

class MonitorCycleTest : public CoreTest {
protected:
    static void numbered(int n) {
        fake::system().processes.clear();
        for (int i = 1; i <= n; ++i) fake::system().processes.push_back("p" + std::to_string(i) + ".exe");
    }
    // Runs one cycle; the process counter paths it opened.
    static std::vector<std::string> cycle() {
        auto& opened = fake::system().openedPaths;
        opened.clear();
        run_cycle();
        opened.erase(std::remove(opened.begin(), opened.end(), kTotal), opened.end());
        return opened;
    }
    static const ProcessSlot& slot(uint32_t s) { return processTable.slots[s]; }
    static void append(int32_t total) {
        processTable.slots[kTotalSlot].usage = total;
        append_usage_line(processTable);
    }
};

TEST_F(MonitorCycleTest, SweepsWalkTheTableBatchByBatch) {
    const std::pair<int, std::vector<uint32_t>> cases[] = {  // processes, last slot of each batch
        {1, {1}}, {31, {31}}, {32, {31, 32}}, {64, {31, 63, 64}},
        {254, {31, 63, 95, 127, 159, 191, 223, 254}}, {300, {31, 63, 95, 127, 159, 191, 223, 254}},
    };
    for (const auto& [count, lasts] : cases) {
        SCOPED_TRACE(count);
        restart();
        numbered(count);
        for (int sweep = 0; sweep < 2; ++sweep) {
            for (std::size_t b = 0; b < lasts.size(); ++b) {
                std::vector<std::string> expected;
                for (uint32_t s = std::max<uint32_t>(1, 32 * b); s <= lasts[b]; ++s)
                    expected.push_back(path_of("p" + std::to_string(s)));
                EXPECT_EQ(cycle(), expected);
                EXPECT_EQ(fake::system().snapshotsTaken, sweep + 1);
            }
        }
        EXPECT_EQ(fake::system().sleeps, std::vector<uint32_t>(2 * lasts.size(), 500));
        EXPECT_EQ(fake::system().handlesOpen, 0);
    }
}

TEST_F(MonitorCycleTest, FailedSnapshotMeasuresNothingAndTheNextCycleRetries) {
    numbered(3);
    fake::system().snapshotFails = true;
    cycleState.busy = 1;
    run_cycle();
    EXPECT_EQ(cycleState.busy, 0);
    EXPECT_TRUE(fake::system().openedPaths.empty());
    fake::system().snapshotFails = false;
    EXPECT_EQ(cycle().size(), 3u);
}

TEST_F(MonitorCycleTest, InstancesShortNamesAndNamesTooLong) {
    numbered(45);
    auto& list = fake::system().processes;
    list[2] = list[8] = list[39] = "svchost.exe";  // slots 3, 9 and 40
    list[4] = "SVCHOST.exe";
    for (int k = 0; k < 3; ++k) fake::system().readings[path_of("svchost", k)] = 10 * (k + 1);
    const auto first = cycle();
    EXPECT_EQ(first[2], path_of("svchost.exe", 0));
    EXPECT_EQ(first[4], path_of("SVCHOST.exe", 0));
    EXPECT_EQ(first[8], path_of("svchost.exe", 1));
    EXPECT_EQ(cycle()[8], path_of("svchost.exe", 2));
    EXPECT_EQ(slot(9).usage + slot(40).usage, 50);
    // Names longer than 127 bytes are never measured.
    const std::string n127(127, 'a');
    fake::system().processes = {"Calc.Exe", "CMD.EXE", "odd.eXe", "a.exe.b.exe", "y.Exe.EXE",
                                n127, std::string(128, 'b'), std::string(300, 'c'), "ok.exe"};
    cycleState.batchIndex = 0;
    EXPECT_EQ(cycle(), (std::vector<std::string>{pdh("Calc"), pdh("CMD"), pdh("odd.eXe"), pdh("a"), pdh("y"),
                                                 pdh(n127), pdh("ok")}));
}

TEST_F(MonitorCycleTest, ExclusionListRules) {
    const std::string long40 = std::string(36, 'L') + ".exe";
    const std::string cut31 = long40.substr(0, 31);
    const std::pair<std::string, std::vector<std::string>> cases[] = {  // ignoreproc, measured
        {"notepad.exe,calc.exe", {"other.exe", long40, cut31}},
        {"notepad.exe,,calc.exe", {"calc.exe", "other.exe", long40, cut31}},  // stops at the empty entry
        {"notepad,calc", {"notepad.exe", "calc.exe", "other.exe", long40, cut31}},
        {"notepad.exe, calc.exe,", {"calc.exe", "other.exe", long40, cut31}},  // the space stays
        {long40 + ",calc.exe", {"notepad.exe", "other.exe", long40}},        // cut to 31 bytes
        {"calc.exe," + long40, {"notepad.exe", "other.exe", cut31}},         // the last entry is whole
    };
    for (const auto& [ignore, measured] : cases) {
        SCOPED_TRACE(ignore);
        restart();
        fake::system().processes = {"notepad.exe", "calc.exe", "other.exe", long40, cut31};
        settings.ignoreproc.set(ignore);
        std::vector<std::string> expected;
        for (const auto& name : measured) expected.push_back(path_of(name));
        EXPECT_EQ(cycle(), expected);
    }
}

// The per-process switch is read once per cycle: a query opened before it
// changed is still read and closed.
TEST_F(MonitorCycleTest, FailedCountersStoreNoReadingAndTheSwitchOffMeasuresOnlyTheTotal) {
    numbered(2);
    fake::system().readings = {{path_of("p1.exe"), std::nullopt}, {path_of("p2.exe"), 60}, {kTotal, std::nullopt}};
    fake::system().duringSleep = [] { settings.eachenable.set(0); };
    EXPECT_EQ(cycle().size(), 2u);
    EXPECT_EQ(fake::system().handlesOpen, 0);
    EXPECT_EQ(slot(1).usage, kNoReading);  // never another slot's reading
    EXPECT_EQ(slot(2).usage, 60);
    EXPECT_EQ(slot(kTotalSlot).usage, kNoReading);
    EXPECT_TRUE(cycle().empty());
}

TEST_F(MonitorCycleTest, UsageLineFormatAndValues) {
    const std::string t = "2008/03/07  9:05:02\t";  // the fake clock
    for (int32_t v : {0, 100, 101, -7}) append(v);
    fake::system().now = {2008, 12, 31, 23, 59, 59};
    append(37);
    fake::system().now = {2026, 1, 1, 0, 0, 0};
    append(5);
    EXPECT_EQ(read_file(path("cpuusagelog.txt")),
              t + "0\r\n" + t + "100\r\n" + t + "-1\r\n" + t + "-1\r\n2008/12/31 23:59:59\t37\r\n"
                  "2026/01/01  0:00:00\t5\r\n");
}

TEST_F(MonitorCycleTest, UsageLogInTheNamedFileOrTheDefaultFile) {
    write_file(path("named.log"), "kept\r\nbytes\xff");
    settings.logfilename.set(path("named.log"));
    append(5);
    EXPECT_EQ(read_file(path("named.log")), "kept\r\nbytes\xff" "2008/03/07  9:05:02\t5\r\n");
    EXPECT_FALSE(fs::exists(path("cpuusagelog.txt")));

    // Unusable names go to the default file, which is made writable; the
    // named file is never changed, not even in its permissions.
    fs::create_directory(path("adir"));
    write_file(path("ro.log"), "old");
    set_read_only(path("ro.log"));
    write_file(path("cpuusagelog.txt"), "x\r\n");
    set_read_only(path("cpuusagelog.txt"));
    for (const std::string& name : {std::string(), path("no/dir/x.log"), path("adir"), path("ro.log")}) {
        settings.logfilename.set(name);
        append(1);
    }
    std::string expected = "x\r\n";
    for (int i = 0; i < 4; ++i) expected += "2008/03/07  9:05:02\t1\r\n";
    EXPECT_EQ(read_file(path("cpuusagelog.txt")), expected);
    EXPECT_FALSE(is_read_only(path("cpuusagelog.txt")));
    EXPECT_EQ(read_file(path("ro.log")), "old");
    EXPECT_TRUE(is_read_only(path("ro.log")));

    // No usable location at all: the line is lost quietly.
    fake::system().executablePath = path("no-such-dir/vantrel");
    append(3);
    EXPECT_EQ(read_file(path("cpuusagelog.txt")), expected);
}

}  // namespace
}  // namespace vantrel::test
