// The pictures of the player's buttons, drawn as shapes so they fill the button at any screen density.
#pragma once

#include <QIcon>

enum class ButtonSymbol { Play, Stop, Pause, Previous, Next };

QIcon PlayerButtonIcon(ButtonSymbol symbol);
