// The style collections of a style sheet as RVF style blocks carry them:
// the collection marker byte, then each style's properties by name.
#pragma once

#include <memory>
#include <string_view>

#include "richtext/engine/style/RVStyle.h"

class TCustomRVData;

// The first byte of every collection payload.
inline constexpr uint8_t RVFStyleCollectionMarker = 14;

// Payload layout (integers little-endian): the marker, u32 style count,
// then per style u32 property count and the properties; a property is
// u8 name length, the name, u8 kind (1 integer i32, 2 string: u32 length
// and bytes, 3 object: u32 property count and its properties, 4 list:
// u32 count and that many objects). Unknown names are skipped, missing
// ones keep the style's defaults.
AnsiString SaveRvfStyles(TCustomRVInfos& Styles);
// Fills Styles (emptied first); every length is checked against the
// payload, and damaged bytes raise EReadError.
void LoadRvfStyles(std::string_view Payload, TCustomRVInfos& Styles, TCustomRVData& Data);

// An empty collection of the same kind, made for the same style sheet.
std::unique_ptr<TCustomRVInfos> NewStyleCollectionLike(TCustomRVInfos& Styles);
// Makes Target's styles copies of Source's.
void CopyStyles(TCustomRVInfos& Target, TCustomRVInfos& Source);
// Copies list styles with the identities they were read with.
void AssignListStylesKeepingIds(TRVListInfos& Target, TRVListInfos& Source);
