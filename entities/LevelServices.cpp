// LevelServices -- the running level as entities see it.
#include "entities/LevelServices.h"

LevelServices* LevelServices::current = nullptr;
