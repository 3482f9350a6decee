// The effect interface. Every effect file defines one effect_c in an
// anonymous namespace, one static instance and one global pointer to it.
// An effect overrides only what it does: the base operations do nothing.
//
// A frame's work is split in two so that a seek can replay the logic alone:
// step() changes state (springs, events, random draws) and issues no GL;
// draw() issues GL from that state and changes nothing a later frame reads.
#pragma once

#include "clock.h"

class demoeffect_c {
public:
	virtual void init() {}
	virtual void initgl() {}
	virtual void step() {}
	virtual void draw() {}
	virtual void quit() {}

	// One frame of the effect, as the script calls it.
	void run()
	{
		step();
		if (!seeking)
			draw();
	}
};
