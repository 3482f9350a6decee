// Built with the whole engine library and nothing else, so that the link
// proves the engine needs nothing of the runtime, a platform or the
// content. It does nothing when run.
int main()
{
	return 0;
}
