// A plug-in that lacks GetTransisionName: the host must not register it and
// must free its library again.
#include "transitions/transition_params.h"

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  params->wait = 5;
  return 0;
}
int __stdcall GetTransisionParams(TransitionParams *) { return 0; }
int __stdcall TransisionFunction(TransitionParams *params) {
  params->result = 1;
  return 1;
}
}
