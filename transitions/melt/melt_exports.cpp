// The four exports of melt.tns.
#include <cstring>

#include "transitions/melt/melt_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  MeltDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, MeltName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &MeltDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return MeltRun(params); }
}
