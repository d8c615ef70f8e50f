// The band passes of VELLUX (see band_plan.h).
#include "transitions/VELLUX/band_plan.h"

int64_t BandSpan(int32_t length, int32_t clientLength) {
  if (clientLength <= 0) return 0;
  int64_t span = 1;
  while (span < length) span <<= 1;
  return span;
}

void StartBandPlan(BandPlan *plan, int64_t span, int32_t length) {
  plan->span = span;
  plan->length = length < 0 ? 0 : length;
  plan->count = 4;
  plan->step = span / 4;
  plan->next = 0;
}

int NextBand(BandPlan *plan, int32_t *position, int32_t *size) {
  while (plan->count < plan->span) {
    const int64_t q = plan->next * plan->step;
    if (plan->next < plan->count && q < plan->length) {
      ++plan->next;
      const int64_t rest = plan->length - q;
      *position = static_cast<int32_t>(q);
      *size = static_cast<int32_t>(plan->step < rest ? plan->step : rest);
      return 1;
    }
    // The positions only grow: the rest of this pass lies outside the area.
    plan->count <<= 1;
    plan->step = plan->span / plan->count;
    plan->next = 0;
  }
  return 0;
}
