// Holds nothing but its version record.
#pragma once
