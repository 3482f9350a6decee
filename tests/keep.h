// The engine never frees what it loads: the demo keeps everything for the
// whole run. Tests keep what they load the same way, in plain static
// storage, so the leak checker still finds it reachable at exit.
#pragma once

template <typename T>
T& keep(T* loaded)
{
	static T* kept[256];
	static int count = 0;
	if (count == 256)
		return *loaded;
	kept[count] = loaded;
	return *kept[count++];
}
