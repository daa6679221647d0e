// Holds nothing but its version record.
#pragma once

// Referenced by the extended controls so that the linker keeps the record.
void UseJvMaskEditUnit();
