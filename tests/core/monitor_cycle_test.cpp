// The monitor cycle and the batch measurement with scripted processes and
// counters: sweeps and batches, instance numbers, exclusions, counter paths.
#include <algorithm>
#include <string>
#include <vector>

#include "monitor/batch_measurement.h"
#include "monitor/ignore_list.h"
#include "monitor/monitor_cycle.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

constexpr const char* kTotalPath = "\\Processor(_Total)\\% Processor Time";

std::string process_path(const std::string& shortName, int instance) {
    return "\\Process(" + shortName + "#" + std::to_string(instance) + ")\\% Processor Time";
}

class MonitorCycleTest : public CoreTest {
protected:
    void processes(int n) {
        auto& list = fake::system().processes;
        list.clear();
        for (int i = 1; i <= n; ++i) list.push_back("p" + std::to_string(i) + ".exe");
    }
    // Runs one cycle and returns the process paths it opened.
    std::vector<std::string> cycle() {
        fake::system().openedPaths.clear();
        cycleState.busy = 1;
        run_cycle();
        std::vector<std::string> paths;
        for (const auto& p : fake::system().openedPaths)
            if (p != kTotalPath) paths.push_back(p);
        return paths;
    }
    const ProcessSlot& slot(uint32_t s) const { return processTable.slots[s]; }
};

TEST_F(MonitorCycleTest, SweepsWalkTheTableBatchByBatch) {
    struct Case {
        int processes;
        std::vector<std::pair<uint32_t, uint32_t>> batches;  // first and last slot measured
    };
    const Case cases[] = {
        {1, {{0, 1}}},
        {31, {{0, 31}}},
        {32, {{0, 31}, {32, 32}}},
        {64, {{0, 31}, {32, 63}, {64, 64}}},
        {254, {{0, 31}, {32, 63}, {64, 95}, {96, 127}, {128, 159}, {160, 191}, {192, 223}, {224, 254}}},
        {300, {{0, 31}, {32, 63}, {64, 95}, {96, 127}, {128, 159}, {160, 191}, {192, 223}, {224, 254}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.processes);
        restart();
        processes(c.processes);
        for (int round = 0; round < 2; ++round) {
            for (const auto& [first, last] : c.batches) {
                const int snapshotsBefore = fake::system().snapshotsTaken;
                const auto paths = cycle();
                EXPECT_EQ(fake::system().snapshotsTaken - snapshotsBefore, first == 0 ? 1 : 0);
                std::vector<std::string> expected;
                for (uint32_t s = first == 0 ? 1 : first; s <= last; ++s)
                    expected.push_back(process_path("p" + std::to_string(s), 0));
                EXPECT_EQ(paths, expected);
                EXPECT_EQ(cycleState.busy, 0);
            }
        }
        EXPECT_EQ(cycleState.sweepSize, static_cast<uint32_t>(std::min(c.processes, 254)));
        EXPECT_EQ(fake::system().snapshotsOpen, 0);
        EXPECT_EQ(fake::system().queriesOpen, 0);
    }
}

TEST_F(MonitorCycleTest, EveryCycleMeasuresTheTotalAfterOneWait) {
    processes(40);
    fake::system().readings[kTotalPath] = 37;
    for (int i = 0; i < 3; ++i) {
        fake::system().openedPaths.clear();
        cycle();
        EXPECT_EQ(fake::system().openedPaths.back(), kTotalPath);
        EXPECT_EQ(slot(kTotalSlot).usage, 37);
        EXPECT_STREQ(slot(kTotalSlot).name, "Processor(_Total)");
    }
    EXPECT_EQ(fake::system().sleeps, (std::vector<uint32_t>{500, 500, 500}));
}

TEST_F(MonitorCycleTest, FailedSnapshotDoesNothingAndTheNextCycleRetries) {
    settings.writelogfile.set(1);
    processes(3);
    fake::system().snapshotFails = true;
    cycleState.busy = 1;
    run_cycle();
    EXPECT_EQ(cycleState.busy, 0);
    EXPECT_EQ(cycleState.batchIndex, 0u);
    EXPECT_TRUE(fake::system().openedPaths.empty());
    EXPECT_TRUE(fake::system().sleeps.empty());
    EXPECT_TRUE(icon_requests().empty());  // no tooltip, no balloon
    EXPECT_FALSE(exists(path("cpuusagelog.txt")));

    fake::system().snapshotFails = false;
    EXPECT_EQ(cycle().size(), 3u);
    EXPECT_EQ(fake::system().snapshotsTaken, 2);
    EXPECT_TRUE(exists(path("cpuusagelog.txt")));
}

TEST_F(MonitorCycleTest, EmptySnapshotRecordsOneEmptySlot) {
    cycle();
    EXPECT_EQ(cycleState.sweepSize, 1u);
    EXPECT_STREQ(slot(1).name, "");
    EXPECT_EQ(slot(1).valid, 0);
}

TEST_F(MonitorCycleTest, InstancesCountEqualNamesAcrossBatches) {
    processes(45);
    auto& list = fake::system().processes;
    list[2] = list[8] = list[39] = "svchost.exe";  // slots 3, 9 and 40
    list[4] = "SVCHOST.exe";                      // case matters
    fake::system().readings[process_path("svchost", 0)] = 11;
    fake::system().readings[process_path("svchost", 1)] = 22;
    fake::system().readings[process_path("svchost", 2)] = 33;

    const auto first = cycle();
    EXPECT_EQ(first[2], process_path("svchost", 0));
    EXPECT_EQ(first[4], process_path("SVCHOST", 0));
    EXPECT_EQ(first[8], process_path("svchost", 1));
    const auto second = cycle();
    EXPECT_EQ(second[40 - 32], process_path("svchost", 2));

    EXPECT_EQ(slot(3).instance, 0);
    EXPECT_EQ(slot(9).instance, 1);
    EXPECT_EQ(slot(40).instance, 2);
    EXPECT_EQ(slot(5).instance, 0);
    EXPECT_EQ(slot(3).usage, 11);
    EXPECT_EQ(slot(9).usage, 22);
    EXPECT_EQ(slot(40).usage, 33);
}

TEST_F(MonitorCycleTest, ShortNamesDropTheFirstExeExtension) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"notepad.exe", "notepad"}, {"Calc.Exe", "Calc"},   {"CMD.EXE", "CMD"},
        {"odd.eXe", "odd.eXe"},     {"bash", "bash"},       {"a.exe.b.exe", "a"},
        {"x.EXE.exe", "x.EXE"},     {"y.Exe.EXE", "y"},
    };
    for (const auto& [name, shortName] : names) {
        char out[128];
        make_short_name(name.c_str(), out);
        EXPECT_EQ(out, shortName) << name;
    }
}

TEST_F(MonitorCycleTest, NamesLongerThan127BytesAreNeverMeasured) {
    const std::string n127(127, 'a');
    const std::string n128(128, 'b');
    const std::string n300(300, 'c');
    fake::system().processes = {n127, n128, n300, "ok.exe"};
    const auto paths = cycle();
    EXPECT_EQ(paths, (std::vector<std::string>{process_path(n127, 0), process_path("ok", 0)}));
    EXPECT_EQ(slot(1).valid, 1);
    EXPECT_EQ(slot(2).valid, 0);
    EXPECT_EQ(slot(3).valid, 0);
    EXPECT_EQ(slot(3).name[sizeof slot(3).name - 1], '\0');
}

TEST_F(MonitorCycleTest, ExclusionListRules) {
    const std::string long40 = std::string(36, 'L') + ".exe";  // 40 bytes
    const std::string cut31 = long40.substr(0, 31);            // what a cut entry holds
    struct Case {
        std::string ignoreproc;
        std::vector<std::string> measured;  // full names, in slot order
    };
    const Case cases[] = {
        {"notepad.exe,calc.exe", {"other.exe", long40, cut31}},
        {"notepad.exe,,calc.exe", {"calc.exe", "other.exe", long40, cut31}},  // stops at the empty entry
        {"notepad,calc", {"notepad.exe", "calc.exe", "other.exe", long40, cut31}},
        {"notepad.exe, calc.exe", {"calc.exe", "other.exe", long40, cut31}},  // the space stays
        {"notepad.exe,calc.exe,", {"other.exe", long40, cut31}},
        {long40 + ",calc.exe", {"notepad.exe", "other.exe", long40}},  // cut to 31 bytes
        {"calc.exe," + long40, {"notepad.exe", "other.exe", cut31}},  // the last entry is whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ignoreproc);
        restart();
        fake::system().processes = {"notepad.exe", "calc.exe", "other.exe", long40, cut31};
        settings.ignoreproc.set(c.ignoreproc);
        std::vector<std::string> expected;
        for (const auto& name : c.measured) {
            char shortName[128];
            make_short_name(name.c_str(), shortName);
            expected.push_back(process_path(shortName, 0));
        }
        EXPECT_EQ(cycle(), expected);
    }
}

TEST_F(MonitorCycleTest, ChangedExclusionsApplyAtTheNextCycle) {
    fake::system().processes = {"a.exe", "b.exe"};
    settings.ignoreproc.set("a.exe,b.exe");
    EXPECT_TRUE(cycle().empty());
    settings.ignoreproc.set("a.exe");
    EXPECT_EQ(cycle(), (std::vector<std::string>{process_path("b", 0)}));
}

TEST_F(MonitorCycleTest, PerProcessMeasurementOffMeasuresOnlyTheTotal) {
    processes(5);
    fake::system().readings[process_path("p2", 0)] = 90;
    settings.eachenable.set(0);
    EXPECT_TRUE(cycle().empty());
    for (uint32_t s = 0; s <= 5; ++s) EXPECT_EQ(slot(s).usage, 0);
    EXPECT_EQ(fake::system().openedPaths, (std::vector<std::string>{kTotalPath}));
}

TEST_F(MonitorCycleTest, SwitchReadOnceSoCollectedSetMatchesOpenedSet) {
    processes(3);
    fake::system().duringSleep = [] { settings.eachenable.set(0); };
    cycle();
    EXPECT_EQ(fake::system().openedPaths.size(), 4u);
    EXPECT_EQ(fake::system().queriesOpen, 0);
    EXPECT_EQ(fake::system().collects, 8);
}

TEST_F(MonitorCycleTest, FailedCounterStoresNoReading) {
    processes(3);
    fake::system().readings[process_path("p1", 0)] = 95;
    fake::system().readings[process_path("p2", 0)] = 60;
    fake::system().failingPaths = {process_path("p1", 0), kTotalPath};
    cycle();
    // A failed counter never inherits another slot's reading.
    EXPECT_EQ(slot(1).usage, kNoReading);
    EXPECT_EQ(slot(2).usage, 60);
    EXPECT_EQ(slot(kTotalSlot).usage, kNoReading);
}

}  // namespace
}  // namespace vantrel::test
