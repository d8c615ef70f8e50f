// The four exports of QUADRIL.tns.
#include <cstring>

#include "transitions/QUADRIL/quadril_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  QuadrilDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, QuadrilName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &QuadrilDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return QuadrilRun(params); }
}
