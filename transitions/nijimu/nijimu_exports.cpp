// The four exports of nijimu.tns.
#include <cstring>

#include "transitions/nijimu/nijimu_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  NijimuDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, NijimuName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &NijimuDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return NijimuRun(params); }
}
