// The item registry, the factory that makes an empty item for a style
// number, and item copies.
#include <utility>
#include <vector>

#include "richtext/engine/items/RVBulletItems.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/text/RVErrors.h"

constinit TRVItemClass RVTextItemClass = TRVItemClass::Of<TRVTextItemInfo>();

std::unique_ptr<TCustomRVItemInfo> TRVItemClass::Create(TCustomRVData* RVData) const {
    if (!FCreate) throw EZoroZudoError(errRVInternal);
    return FCreate(RVData);
}

bool operator==(const TRVItemClass& A, const TRVItemClass& B) {
    if (!A.FType || !B.FType) return A.FType == B.FType;
    return *A.FType == *B.FType;
}

namespace {

// Written only while the program starts, read afterwards.
std::vector<std::pair<int, TRVItemClass>>& Registry() {
    static std::vector<std::pair<int, TRVItemClass>> registry;
    return registry;
}

// The numbers the factory makes itself; the registry is never asked for
// them, even when someone registered one.
bool IsBuiltInKind(int StyleNo) {
    return StyleNo == rvsBreak || (StyleNo <= rvsPicture && StyleNo >= rvsBullet) ||
           (StyleNo <= rvsHotPicture && StyleNo >= rvsTab);
}

} // namespace

void RegisterItemTypeClass(int StyleNo, TRVItemClass ItemClass) {
    auto& registry = Registry();
    if (StyleNo >= -9 || !ItemClass.Assigned()) throw EZoroZudoError(errRVItemRangeError);
    for (auto& [number, cls] : registry)
        if (number == StyleNo) {
            if (cls == ItemClass) return;
            throw EZoroZudoError(errRVItemRangeError);
        }
    registry.emplace_back(StyleNo, ItemClass);
}

std::unique_ptr<TCustomRVItemInfo> CreateItemForStyleNo(int StyleNo, TCustomRVData* RVData) {
    std::unique_ptr<TCustomRVItemInfo> item;
    if (StyleNo >= 0) {
        item = RVTextItemClass.Create(RVData);
    } else if (StyleNo == rvsTab) {
        item = std::make_unique<TRVTabItemInfo>(RVData);
    } else if (StyleNo == rvsBreak) {
        item = std::make_unique<TRVBreakItemInfo>(RVData);
    } else if (StyleNo == rvsPicture) {
        item = std::make_unique<TRVGraphicItemInfo>(RVData);
    } else if (StyleNo == rvsHotPicture) {
        // Made as a picture, then given its own number, as the factory does.
        item = std::make_unique<TRVHotGraphicItemInfo>(RVData);
    } else if (StyleNo == rvsListMarker) {
        item = std::make_unique<TRVMarkerItemInfo>(RVData);
    } else if (StyleNo == rvsBullet) {
        item = std::make_unique<TRVBulletItemInfo>(RVData);
    } else if (StyleNo == rvsHotspot) {
        item = std::make_unique<TRVHotspotItemInfo>(RVData);
    } else if (IsBuiltInKind(StyleNo)) {
        // Hosted controls belong to the viewer's library.
        return nullptr;
    } else {
        for (auto& [number, cls] : Registry())
            if (number == StyleNo) {
                item = cls.Create(RVData);
                break;
            }
    }
    if (item) item->StyleNo = StyleNo;
    return item;
}

std::unique_ptr<TCustomRVItemInfo> CreateItemCopy(const TCustomRVItemInfo& Source, TCustomRVData* RVData,
                                                  bool CopyCheckpoint) {
    std::unique_ptr<TCustomRVItemInfo> copy = Source.ClassType().Create(RVData);
    // A class that forgot to answer its own type would copy as another kind.
    if (typeid(*copy) != typeid(Source)) throw EZoroZudoError(errRVInternal);
    copy->StyleNo = Source.StyleNo;
    copy->AssignProperties(Source);
    if (CopyCheckpoint && Source.Checkpoint) copy->Checkpoint = Source.Checkpoint->CreateCopy();
    copy->Tag = DuplicateTag(Source.Tag);
    return copy;
}
