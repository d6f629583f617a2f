// Which picture comes next: the one after it in the collection, or, with
// Shuffle, the next of a round that shows every picture once in a random
// order. A round is not stored as a list: a keyed permutation gives the
// picture at each step, so the round going on takes four keys of
// LUMARO.INI whatever the collection's size, and goes on across restarts.
#pragma once

#include <cstdint>

#include "settings/saver_settings.h"

// The picture at `step` (1 to `count`) of the round made from `seed`: over
// the steps 1 to `count` each picture 1 to `count` comes once.
int ShuffledPicture(uint32_t seed, int count, int step);

// The seed of the round after the one made from `seed`: it does not start
// with the picture that ends that one (unless there is only one).
uint32_t FollowingSeed(uint32_t seed, int count);

// Before the show starts: with Shuffle on, the round in the record goes on
// when it is the current collection's, of its Count, and its step is the
// picture on screen; else a new round starts from `fresh`, which does not
// begin with the picture on screen.
void BeginShow(SaverSettings* settings, uint32_t fresh);

// The picture after the one on screen.
int NextPicture(const SaverSettings& settings);
// The record moved on to it: CurrentPicture and, shuffling, the round.
void TurnToNextPicture(SaverSettings* settings);
