// The plug-in call for one layer of an entering paint.
#include "player/layer_transition.h"

#include <cstring>

#include "player/player_screens.h"
#include "transitions/plugin_host.h"

int32_t LayerTransitionPlugin(int32_t transitionId) {
  if (TransitionPlugins.count <= 0 || !TransitionPlugins.entries || transitionId == 0) return -1;
  return FindTransitionPlugin(transitionId);
}

int RunLayerTransition(int32_t pluginIndex, const LayerTransitionCall *call) {
  if (pluginIndex < 0 || pluginIndex >= TransitionPlugins.count || !call) return 0;
  // Each screen's thread has its own copy of the plug-in.
  TransitionFunctionPtr run = ScreenTransitionFunction(pluginIndex);
  if (!run) return 0;
  // The block and everything it points to live on this stack frame for the
  // one call; the plug-in keeps nothing.
  int32_t size[2] = {call->imageSize[0], call->imageSize[1]};
  RECT dest = call->destRect;
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.window = call->window;
  params.dc = call->dc;
  params.image = call->image;
  params.imageSize = size;
  params.destRect = &dest;
  params.backColor = call->backColor;
  params.wholeWindow = call->wholeWindow;
  params.abortable = 1;
  params.wait = call->wait;
  if (call->effectParams) memcpy(params.effectParams, call->effectParams, sizeof params.effectParams);
  params.mouseMoveAborts = call->mouseMoveAborts;
  run(&params);
  return params.result;
}
