// The four exports of VELLUX.tns.
#include <cstring>

#include "transitions/VELLUX/vellux_effect.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  VelluxDefaults(params);
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, VelluxName);
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *params) { return RunParamsDialog(params, &VelluxDialog); }

int __stdcall TransisionFunction(TransitionParams *params) { return VelluxRun(params); }
}
