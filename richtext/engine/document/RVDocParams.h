// The page setup that travels with a document: paper size, orientation,
// margins, header and footer positions, zoom and mirrored margins in a
// chosen unit, with its RVF lines and its RTF page words.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "richtext/engine/document/RVZoomMode.h"

enum TRVUnits : uint8_t { rvuInches, rvuCentimeters, rvuMillimeters, rvuPicas, rvuPixels, rvuPoints };
enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

// Units per inch; an unknown unit counts as inches.
double UnitsPerInch(TRVUnits Units);

class TRVDocParameters : public TPersistent {
public:
    TRVDocParameters() { Reset(); }

    // Lengths are in Units; the defaults are inch values whatever Units holds.
    double PageWidth = 0;
    double PageHeight = 0;
    TRVUnits Units = rvuInches;
    TPrinterOrientation Orientation = poPortrait;
    double LeftMargin = 0;
    double RightMargin = 0;
    double TopMargin = 0;
    double BottomMargin = 0;
    double HeaderY = 0;
    double FooterY = 0;
    int32_t ZoomPercent = 100;
    TRVZoomMode ZoomMode = rvzmCustom;
    bool MirrorMargins = false;

    void Reset();
    void Assign(TPersistent* Source) override;
    bool AreAllValuesDefault() const { return GetRVFLineCount() == 0; }
    // The number of properties that differ from their defaults.
    int GetRVFLineCount() const;
    bool HeaderYStored() const;
    bool FooterYStored() const;
    int ToTwips(double Value) const;
    double FromTwips(int Twips) const;

    // One "name=value" line per stored property.
    void WriteDocParametersRvf(TStream& Stream) const;
    // One such line; unknown names and lines without "=" change nothing, a
    // value that is not a number raises EConvertError.
    void ReadDocParameterRvf(const AnsiString& Line);
    // The page words of an RTF header, then a line end.
    void WriteDocParametersRtf(TStream& Stream) const;

    // Stored when further than this from the default.
    static constexpr double StoredDifference = 1e-20;
};
