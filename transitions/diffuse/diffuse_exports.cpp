// The four exports of diffuse.tns.
#include <cstring>

#include "transitions/diffuse/diffuse_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  DiffuseDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, DiffuseName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &DiffuseDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return DiffuseRun(params); }
}
