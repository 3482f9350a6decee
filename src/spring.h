// Damped spring advanced in fixed 0.02 s logic steps.
#pragma once

#include <glm/glm.hpp>

template <typename T>
class spring_c {
public:
	T targetpos;
	T acc;   // share of the distance to the target added to vel per step
	T damp;  // velocity factor per step
	T pos;
	T vel;

	spring_c() : targetpos(0), acc(0), damp(0), pos(0), vel(0) {}
	spring_c(T p, T a, T d) { init(p, p, a, d, T(0)); }
	spring_c(T p, T pt, T a, T d) { init(p, pt, a, d, T(0)); }
	~spring_c() {}

	void init(T p, T pt, T a, T d, T v)
	{
		pos = p;
		targetpos = pt;
		acc = a;
		damp = d;
		vel = v;
	}

	void iterate(int times)
	{
		for (int i = 0; i < times; i++) {
			// a slow spring gets half the pull, a fast one all of it
			T k = glm::clamp(glm::abs(vel), T(0.5f), T(1.0f));
			vel = vel * damp;
			vel = vel + (targetpos - pos) * acc * k;
			pos = pos + vel;
		}
	}
};
