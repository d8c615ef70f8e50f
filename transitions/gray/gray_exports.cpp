// The four exports of gray.tns.
#include <cstring>

#include "transitions/gray/gray_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  GrayDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, GrayName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &GrayDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return GrayRun(params); }
}
