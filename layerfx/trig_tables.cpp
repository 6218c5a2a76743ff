#include "layerfx/trig_tables.h"

#include <cmath>

double sineTable[trigTableSize];
double cosineTable[trigTableSize];

void FillTrigTables() {
  const double step = 0.006135923151542565;  // 2 pi / 1024
  for (int i = 0; i < trigTableSize; ++i) {
    sineTable[i] = std::sin(i * step);
    cosineTable[i] = std::cos(i * step);
  }
}
