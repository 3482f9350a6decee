// The effect interface. Every effect file defines one effect_c in an
// anonymous namespace, one static instance and one global pointer to it.
// An effect overrides only what it does: the base operations do nothing.
#pragma once

class demoeffect_c {
public:
	virtual void init() {}
	virtual void initgl() {}
	virtual void draw() {}
	virtual void quit() {}
};
