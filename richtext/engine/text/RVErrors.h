// The exception of the whole rich-text family and its fixed English messages.
#pragma once

#include "platform/rtl/SysUtils.h"

class EZoroZudoError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* errRVItemRangeError =
    "Can't register ZoroZudo item type - this StyleNo is already registered";
inline constexpr const char* errRVPrint = "Internal printing error";
inline constexpr const char* errRVFDocProp = "Invalid RVF format";
inline constexpr const char* errRVUnicode = "Can't perform Unicode operation";
inline constexpr const char* errRVItemPropType = "Can't get or set this kind of information for this item";
inline constexpr const char* errRVItemIndex = "Item index is out of bounds";
inline constexpr const char* errRVTagsTypesMismatch =
    "Can't assign ZoroZudo to ZoroZudo - tags types mismatch";
inline constexpr const char* errRVCompare = "Error when comparing positions in the document";
inline constexpr const char* errRVNoMemory = "No memory";
inline constexpr const char* errRVNotSupported = "This method is not supported for TRVItemFormattedData";
inline constexpr const char* errRVInvalidProperty = "This property is not valid here";
inline constexpr const char* errRVCircularReference = "Circular references are not allowed";
inline constexpr const char* errRVCP = "Checkpoint error";
inline constexpr const char* errRVUndoEmpty = "Can't modify empty undo list";
inline constexpr const char* errRVUndoAdd = "Incorrect adding into undo list";
inline constexpr const char* errRVUndoEmptyBuffer = "Undo buffer is empty";
inline constexpr const char* errRVCaretPos =
    "Invalid caret position. Please contact the developer, if you can reproduce this problem";
inline constexpr const char* errRVNotSupportedInEditor = "Not supported in editor";
inline constexpr const char* errRVInternal = "Internal error";
inline constexpr const char* errRVTableIndex = "Invalid row or column index";
inline constexpr const char* errRVTableMerge = "Parameters for cell merging are not correct";
inline constexpr const char* errRVPrintStyle = "Style of printable TZoroZudo component is not assigned";
inline constexpr const char* errRVPrintPage = "Invalid page number is specified for printing";
inline constexpr const char* errRVPreviewForm = "Preview form must be inherited from TfrmRVPreview";

// Raw UTF-16 of odd length and other Unicode misuse.
[[noreturn]] inline void RaiseUnicodeError() {
    throw EZoroZudoError(errRVUnicode);
}
