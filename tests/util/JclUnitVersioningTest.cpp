// The unit-version registry: records kept per module and the slot that the
// modules of one process share.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "util/JclUnitVersioning.h"

namespace {

const TUnitVersionInfo kInfoA = {"$URL: a $", "$Revision: 1 $", "$Date: d $", "JclLib\\common", "", nullptr};
const TUnitVersionInfo kInfoB = {"$URL: b $", "$Revision: 2 $", "$Date: d $", "JvLib\\run", "", nullptr};

TEST(JclUnitVersioningTest, TheProgramsUnitsAreRegistered) {
    TUnitVersioning* registry = SharedUnitVersionRegistry();
    ASSERT_NE(registry, nullptr);
    TUnitVersioningModule* module = registry->FindModule(HInstance());
    ASSERT_NE(module, nullptr);
    EXPECT_GT(module->Count(), 0);
}

TEST(JclUnitVersioningTest, RecordsAreKeptOncePerModule) {
    TUnitVersioning registry;
    registry.Add(1, &kInfoA);
    registry.Add(1, &kInfoA);
    registry.Add(1, &kInfoB);
    registry.Add(2, &kInfoA);
    ASSERT_EQ(registry.ModuleCount(), 2);
    EXPECT_EQ(registry.Modules(0)->Count(), 2);
    EXPECT_EQ(registry.Modules(0)->Items(1)->Info(), &kInfoB);
    registry.UnregisterModule(7); // nothing to remove
    EXPECT_EQ(registry.ModuleCount(), 2);
    registry.UnregisterModule(1);
    ASSERT_EQ(registry.ModuleCount(), 1);
    EXPECT_EQ(registry.Modules(0)->Instance(), 2u);
}

TEST(JclUnitVersioningTest, ModulesOfOneProcessShareTheSlot) {
    // The program itself already holds the slot; two more modules join it.
    TUnitVersioning* programs = SharedUnitVersionRegistry();
    int32_t before = 0;
    TUnitVersioning** slot = ClaimSharedProcessSlot("UnitVersioning", before);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(*slot, programs);

    TUnitVersioningState second;
    EXPECT_EQ(SharedUnitVersionRegistry(second), programs);
    EXPECT_FALSE(second.Owns);
    int32_t now = 0;
    TUnitVersioning** again = ClaimSharedProcessSlot("UnitVersioning", now);
    EXPECT_EQ(again, slot);
    EXPECT_EQ(now, before + 2);
    EXPECT_EQ(ReleaseSharedProcessSlot(again), before + 1);

    AddUnitVersionRecord(0x5000, &kInfoA, second);
    EXPECT_NE(programs->FindModule(0x5000), nullptr);
    RemoveUnitVersionModule(0x5000, second);
    EXPECT_EQ(programs->FindModule(0x5000), nullptr);
    FreeUnitVersionRegistry(second); // not the owner: the registry stays
    EXPECT_EQ(SharedUnitVersionRegistry(), programs);

    // Another id gets a slot of its own.
    int32_t other = 0;
    TUnitVersioning** otherSlot = ClaimSharedProcessSlot("SomethingElse", other);
    ASSERT_NE(otherSlot, nullptr);
    EXPECT_NE(otherSlot, slot);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(ReleaseSharedProcessSlot(otherSlot), 0);
    EXPECT_EQ(ReleaseSharedProcessSlot(slot), before - 1);
    EXPECT_EQ(ReleaseSharedProcessSlot(nullptr), 0);
}

// The registry lives in the process's own memory: no page of its own, which
// at a fixed address could cap the stack when address randomisation is off.
TEST(JclUnitVersioningTest, TheSharedSlotMapsNoPageOfItsOwn) {
    auto mappings = [] {
        std::ifstream maps("/proc/self/maps");
        std::vector<std::string> lines;
        // Where each mapping starts: the heap may grow at its end meanwhile.
        for (std::string line; std::getline(maps, line);)
            lines.push_back(line.substr(0, line.find('-')));
        return lines;
    };
    int32_t count = 0;
    auto before = mappings();
    TUnitVersioning** slot = ClaimSharedProcessSlot("UnitVersioningMapTest", count);
    auto after = mappings();
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReleaseSharedProcessSlot(slot), 0);
}

TEST(JclUnitVersioningTest, AnOwnerLeavingClearsTheSlotForTheOthers) {
    // Two modules on a slot of their own id stand-in: the first owns.
    TUnitVersioningState first, second;
    first.Registry = new TUnitVersioning;
    first.Owns = true;
    int32_t count = 0;
    first.Slot = ClaimSharedProcessSlot("UnitVersioningTest", count);
    ASSERT_NE(first.Slot, nullptr);
    *first.Slot = first.Registry;
    second.Slot = ClaimSharedProcessSlot("UnitVersioningTest", count);
    EXPECT_EQ(count, 2);
    second.Registry = *second.Slot;
    FreeUnitVersionRegistry(first);
    EXPECT_EQ(SharedUnitVersionRegistry(second), nullptr); // removed by its owner
    AddUnitVersionRecord(1, &kInfoA, second);              // does nothing
    FreeUnitVersionRegistry(second);
}

} // namespace
