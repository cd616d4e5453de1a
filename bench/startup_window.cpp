// The reference of bench_startup: the smallest FLTK program that shows one
// empty window of the installer's size, linked as fltk-config links it. It
// writes "drawn" once its first frame is drawn.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>

namespace {

class EmptyWindow : public Fl_Double_Window {
public:
	EmptyWindow() : Fl_Double_Window(456, 258, "Empty") {}

	void draw() override
	{
		Fl_Double_Window::draw();
		if (fReported)
			return;
		fReported = true;
		fputs("drawn\n", stdout);
		fflush(stdout);
	}

private:
	bool fReported = false;
};

} // namespace

int main()
{
	EmptyWindow window;
	window.show();
	return Fl::run();
}
