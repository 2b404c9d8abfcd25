#include "automation/Automation.h"

int32_t SweepStep = 1;

bool PresetActive = false;
bool PresetRising = false;
int32_t PresetLow = 0;
int32_t PresetHigh = 0;
int32_t PresetStep = 0;

bool IsDigits(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (c.unicode() < u'0' || c.unicode() > u'9') return false;
  return true;
}
