#pragma once

// Belongs with the main program's module of shared helpers, but it lives beside
// the engine, its only user, so that the engine's library does not depend on the
// program.
namespace mGlobal {

// Waits, without sleeping, for the clock to move on from its current reading and
// returns a fresh reading taken after that edge. Timing from an edge makes pass
// times comparable although the clock is coarse.
float WaitNextTick();

}
