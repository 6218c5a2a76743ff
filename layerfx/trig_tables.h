// Sine and cosine of k/1024 of a turn, for k = 0..1023; filled at link time and
// read-only afterwards.
#pragma once

constexpr int trigTableSize = 1024;

extern double sineTable[trigTableSize];
extern double cosineTable[trigTableSize];

void FillTrigTables();
