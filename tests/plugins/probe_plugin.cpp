// A plug-in that records every TransitionParams block it is called with, for
// the tests of the player's invocation. The test reads the records and sets
// the result to report through two extra exports. It paints its destination
// rectangle in a marker colour, so that the test can see the player's final
// 1:1 draw cover it.
#include <cstring>

#include "tests/plugins/probe_record.h"
#include "transitions/transition_params.h"

namespace {
ProbeRecord records[PROBE_MAX_RECORDS];
int recordCount;
int resultToReport = 1;
}  // namespace

extern "C" {
int __stdcall GetTransisionDefaultParams(TransitionParams *params) {
  memset(params->effectParams, 0, sizeof params->effectParams);
  params->wait = 3;
  return 0;
}

char *__stdcall GetTransisionName(char *buffer) {
  strcpy(buffer, "probe");
  return buffer;
}

int __stdcall GetTransisionParams(TransitionParams *) { return 0; }

int __stdcall TransisionFunction(TransitionParams *params) {
  if (recordCount < PROBE_MAX_RECORDS) {
    ProbeRecord &r = records[recordCount];
    memcpy(&r.block, params, sizeof r.block);
    r.hasImageSize = params->imageSize != nullptr;
    if (params->imageSize) memcpy(r.imageSize, params->imageSize, sizeof r.imageSize);
    r.hasDestRect = params->destRect != nullptr;
    if (params->destRect) r.destRect = *params->destRect;
    const auto *header = static_cast<const BITMAPINFOHEADER *>(params->image);
    if (header) {
      r.imageWidth = header->biWidth;
      r.imageHeight = header->biHeight;
      r.imageBits = header->biBitCount;
    }
    RECT client = {};
    GetClientRect(params->window, &client);
    r.clientRect = client;
    r.layerOnScreenBefore = params->destRect ? GetPixel(params->dc, params->destRect->left, params->destRect->top)
                                              : CLR_INVALID;
  }
  ++recordCount;
  if (params->destRect && params->dc) {
    HBRUSH brush = CreateSolidBrush(PROBE_MARKER_COLOUR);
    FillRect(params->dc, params->destRect, brush);
    DeleteObject(brush);
  }
  params->result = resultToReport;
  return resultToReport;
}

int __stdcall ProbeCalls(ProbeRecord *out, int capacity) {
  int n = recordCount < capacity ? recordCount : capacity;
  if (out) memcpy(out, records, sizeof(ProbeRecord) * size_t(n > PROBE_MAX_RECORDS ? PROBE_MAX_RECORDS : n));
  return recordCount;
}

void __stdcall ProbeReset(int result) {
  recordCount = 0;
  resultToReport = result;
}
}
