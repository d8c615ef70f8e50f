// The frames, defaults and dialog of VELLUX. Word 0 of the parameters is the
// direction: non-zero draws columns, 0 rows. Every band is one StretchBlt
// from a single line of the target; the effect never draws the picture 1:1
// itself (the player's final draw does).
#include "transitions/VELLUX/vellux_effect.h"

#include <cstring>

#include "transitions/VELLUX/band_plan.h"
#include "transitions/effect_frame.h"
#include "transitions/effect_limits.h"

const char VelluxName[] = "徐々に";

void VelluxDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_VELLUX, &params->wait, params->effectParams);
}

int VelluxRun(TransitionParams *params) {
  EffectCanvas canvas;
  if (!EffectBegin(params, &canvas)) return 0;
  const bool columns = params->effectParams[0] != 0;
  const DWORD wait = static_cast<DWORD>(ClampWait(params->wait));
  const int32_t length = columns ? canvas.width : canvas.height;
  const int32_t clientLength =
      columns ? canvas.client.right - canvas.client.left : canvas.client.bottom - canvas.client.top;
  BandPlan plan;
  StartBandPlan(&plan, BandSpan(length, clientLength), length);

  if (!EffectCreateTarget(params, &canvas, canvas.width, canvas.height)) return EffectFinish(params, 0);
  const RECT &area = canvas.area;
  int result = 1, drawn = 0;
  int32_t q, size;
  while (NextBand(&plan, &q, &size)) {
    if (columns)
      EffectDraw.stretchBlt(params->dc, area.left + q, area.top, size, canvas.height, canvas.memDc, q, 0, 1,
                            canvas.height, SRCCOPY);
    else
      EffectDraw.stretchBlt(params->dc, area.left, area.top + q, canvas.width, size, canvas.memDc, 0, q,
                            canvas.width, 1, SRCCOPY);
    EffectFrameDone(drawn);
    if (drawn % 10 == 0) EffectDraw.sleep(wait);
    ++drawn;
    if (EffectInterrupted(params)) {
      result = 0;
      break;
    }
  }
  EffectFreeTarget(&canvas);
  return EffectFinish(params, result);
}

static void FillDirection(HWND dialog, TransitionParams *params) {
  CheckRadioButton(dialog, IDC_VELLUX_VERTICAL, IDC_VELLUX_HORIZONTAL,
                   params->effectParams[0] ? IDC_VELLUX_VERTICAL : IDC_VELLUX_HORIZONTAL);
}

static int AcceptDirection(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]) {
  words[0] = IsDlgButtonChecked(dialog, IDC_VELLUX_HORIZONTAL) == BST_CHECKED ? 0 : 1;
  return 1;
}

const EffectDialog VelluxDialog = {1, FillDirection, AcceptDirection};
