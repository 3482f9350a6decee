#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <string.h>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "fbo.h"
#include "gltest.h"
#include "keep.h"
#include "main.h"
#include "newsbox.h"
#include "screenshot.h"
#include "shader.h"
#include "texture.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

static std::string tmpdir()
{
	static std::string dir;
	if (dir.empty()) {
		char tmpl[] = "/tmp/qvdglXXXXXX";
		dir = mkdtemp(tmpl);
	}
	return dir;
}

class EngineGL : public testing::Test {
protected:
	void SetUp() override
	{
		gltest_open(64, 32);
		video_w = 64;
		video_h = 32;
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glViewport(0, 0, 64, 32);
	}
};

// A picture in which every byte differs from its neighbours across, down and
// along the diagonal, and every corner from the others: a flip, a mirror, a
// lost channel or a row read with the wrong stride all change some byte.
// Rows top first, as the file holds them.
static std::vector<unsigned char> pattern(int w, int h, int comps, int seed)
{
	std::vector<unsigned char> px((size_t)w * h * comps);
	for (int y = 0; y < h; y++)
		for (int x = 0; x < w; x++)
			for (int c = 0; c < comps; c++)
				px[((size_t)y * w + x) * comps + c] =
					(unsigned char)(x * 7 + y * 61 + c * 101 + seed * 29 + (x * y) % 5);
	return px;
}

// What the GL should hold for a picture: bottom row first, as RGBA; a
// picture without alpha reads back opaque, a texture without it too.
static std::vector<unsigned char> expected(const std::vector<unsigned char>& pic, int w, int h,
	int comps, bool rgb_texture)
{
	std::vector<unsigned char> out((size_t)w * h * 4);
	for (int y = 0; y < h; y++)
		for (int x = 0; x < w; x++)
			for (int c = 0; c < 4; c++) {
				const unsigned char* p = &pic[((size_t)(h - 1 - y) * w + x) * comps];
				bool opaque = c == 3 && (comps == 3 || rgb_texture);
				out[((size_t)y * w + x) * 4 + c] = opaque ? 255 : p[c];
			}
	return out;
}

static std::vector<unsigned char> texels(GLenum target, int w, int h)
{
	std::vector<unsigned char> px((size_t)w * h * 4);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glGetTexImage(target, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
	return px;
}

static std::string write_png(const char* name, int w, int h, int comps, int seed)
{
	std::string path = tmpdir() + "/" + name;
	stbi_write_png(path.c_str(), w, h, comps, pattern(w, h, comps, seed).data(), w * comps);
	return path;
}

// Fills a surface made by SDL (rows padded to its pitch) from a picture.
static SDL_Surface* surface_of(const std::vector<unsigned char>& pic, int w, int h, int comps)
{
	SDL_Surface* s = comps == 4
		? SDL_CreateRGBSurface(0, w, h, 32, 0xff, 0xff00, 0xff0000, 0xff000000)
		: SDL_CreateRGBSurface(0, w, h, 24, 0xff, 0xff00, 0xff0000, 0);
	for (int y = 0; y < h; y++)
		memcpy((unsigned char*)s->pixels + (size_t)y * s->pitch,
			&pic[(size_t)(h - 1 - y) * w * comps], (size_t)w * comps);
	return s;
}

// Every width whose rows SDL pads differently, in both depths, from files
// (loaded as RGB and as RGBA) and from surfaces, whole and as a sub-image.
TEST_F(EngineGL, EveryWidthAndDepthUploadsPixelForPixel)
{
	const int widths[] = { 1, 2, 3, 5, 6, 854 };
	const int h = 3;
	for (int w : widths)
		for (int comps = 3; comps <= 4; comps++) {
			SCOPED_TRACE("width " + std::to_string(w) + ", " + std::to_string(comps) + " bytes");
			std::vector<unsigned char> pic = pattern(w, h, comps, 0);
			std::string path = write_png("pattern.png", w, h, comps, 0);
			for (int flags : { 0, TEX_RGB }) {
				texture_c t = texture_c();
				CaptureStderr();
				t.load(path.c_str(), flags);
				GetCapturedStderr();
				glBindTexture(GL_TEXTURE_2D, t.textureid);
				ASSERT_EQ(texels(GL_TEXTURE_2D, w, h), expected(pic, w, h, comps, flags == TEX_RGB));
				glDeleteTextures(1, &t.textureid);
			}

			SDL_Surface* s = surface_of(pic, w, h, comps);
			texture_c t = texture_c();
			CaptureStderr();
			t.fromsurface(s, TEX_NEAREST);
			GetCapturedStderr();
			EXPECT_EQ(t.flags, TEX_NEAREST | (comps == 3 ? TEX_RGB : 0));
			ASSERT_EQ(texels(GL_TEXTURE_2D, w, h), expected(pic, w, h, comps, false));
			SDL_FreeSurface(s);

			std::vector<unsigned char> next = pattern(w, h, comps, 1);
			s = surface_of(next, w, h, comps);
			glBindTexture(GL_TEXTURE_2D, 0);
			t.fromsurface_subtex(s);
			ASSERT_EQ(texels(GL_TEXTURE_2D, w, h), expected(next, w, h, comps, false));
			SDL_FreeSurface(s);
			glDeleteTextures(1, &t.textureid);
		}
}

// A cube map takes its six sides from the files its atlas names, in order.
TEST_F(EngineGL, CubeSidesUploadPixelForPixel)
{
	std::string atlas = tmpdir() + "/cube.png";
	FILE* f = fopen((atlas + ".txt").c_str(), "w");
	for (int i = 0; i < 6; i++)
		fprintf(f, "%s\n", write_png(("side" + std::to_string(i) + ".png").c_str(), 5, 5, 3, i).c_str());
	fclose(f);
	texture_c& t = keep(new texture_c());  // its atlas lives on, as the demo's do
	CaptureStderr();
	t.load(atlas.c_str(), TEX_CUBE | TEX_RGB);
	GetCapturedStderr();
	t.bind();
	for (int i = 0; i < 6; i++)
		EXPECT_EQ(texels(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 5, 5),
			expected(pattern(5, 5, 3, i), 5, 5, 3, true)) << "side " << i;
}

TEST_F(EngineGL, LoadingSetsFilterWrapAndFormat)
{
	std::string path = write_png("params.png", 2, 2, 4, 0);
	texture_c t = texture_c();
	CaptureStderr();
	t.load(path.c_str(), 0);
	std::string out = GetCapturedStderr();
	EXPECT_NE(out.find("loading normal 2D tex " + path + " as 0\n"), std::string::npos);
	EXPECT_NE(out.find("texture bpp: 32\n"), std::string::npos);
	GLint wrap, filter;
	glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
	glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
	EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
	EXPECT_EQ(filter, GL_LINEAR);

	texture_c r = texture_c();
	CaptureStderr();
	r.load(path.c_str(), TEX_RGB | TEX_NEAREST | TEX_REPEAT);
	GetCapturedStderr();
	glBindTexture(GL_TEXTURE_2D, r.textureid);
	GLint iformat;
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &iformat);
	glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
	glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
	EXPECT_EQ(iformat, GL_RGB);
	EXPECT_EQ(wrap, GL_REPEAT);
	EXPECT_EQ(filter, GL_NEAREST);

	SDL_Surface* s = SDL_CreateRGBSurface(0, 4, 4, 24, 0xff, 0xff00, 0xff0000, 0);
	texture_c u = texture_c();
	CaptureStderr();
	u.fromsurface(s);
	EXPECT_EQ(GetCapturedStderr(), "loading normal 2D surface to tex 1\n");
	u.bind();
	GLint bound;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
	EXPECT_EQ((GLuint)bound, u.textureid);
	SDL_FreeSurface(s);
	EXPECT_EQ(texture_c::load_image(path.c_str(), GL_LUMINANCE), nullptr);
}

TEST_F(EngineGL, JpegGetsOpaqueAlpha)
{
	// Left half red, right half blue, so the sides cannot trade places.
	unsigned char big[8 * 8 * 3];
	for (int i = 0; i < 64; i++) {
		bool left = i % 8 < 4;
		big[i * 3] = left ? 255 : 0;
		big[i * 3 + 1] = 0;
		big[i * 3 + 2] = left ? 0 : 255;
	}
	std::string path = tmpdir() + "/halves.jpg";
	stbi_write_jpg(path.c_str(), 8, 8, 3, big, 100);
	texture_c t = texture_c();
	CaptureStderr();
	t.load(path.c_str(), 0);
	GetCapturedStderr();
	glBindTexture(GL_TEXTURE_2D, t.textureid);
	std::vector<unsigned char> px = texels(GL_TEXTURE_2D, 8, 8);
	for (int i = 0; i < 64; i++)
		ASSERT_EQ(px[i * 4 + 3], 255);
	EXPECT_GT(px[0], 200);  // left is red
	EXPECT_GT(px[7 * 4 + 2], 200);  // right is blue
}

TEST_F(EngineGL, UndecodablePictureStops)
{
	std::string path = tmpdir() + "/broken.png";
	FILE* f = fopen(path.c_str(), "wb");
	fputs("not a picture", f);
	fclose(f);
	EXPECT_EXIT(texture_c::load_image(path.c_str(), GL_RGBA), testing::ExitedWithCode(1),
		"couldn.t load!\n.*broken.png: ");
}

// A gradient picture of any size, so that no row looks like another.
static std::string write_gradient(const std::string& name, int w, int h)
{
	std::vector<unsigned char> px((size_t)w * h * 3);
	for (int y = 0; y < h; y++)
		for (int x = 0; x < w; x++) {
			unsigned char* p = &px[((size_t)y * w + x) * 3];
			p[0] = (unsigned char)(x * 255 / (w > 1 ? w - 1 : 1));
			p[1] = (unsigned char)(y * 255 / (h > 1 ? h - 1 : 1));
			p[2] = (unsigned char)((x ^ y) & 255);
		}
	std::string path = tmpdir() + "/" + name;
	if (name.find(".jpg") != std::string::npos)
		stbi_write_jpg(path.c_str(), w, h, 3, px.data(), 90);
	else
		stbi_write_png(path.c_str(), w, h, 3, px.data(), w * 3);
	return path;
}

TEST_F(EngineGL, PicturesLargerThanATextureStop)
{
	GLint limit = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
	ASSERT_GT(limit, 0);
	int side = limit < 16384 ? limit : 16384;
	std::string tall = write_gradient("tall.png", 1, 40000);
	std::string wide = write_gradient("wide.png", side + 1, 2);
	EXPECT_EXIT(texture_c::load_image(tall.c_str(), GL_RGBA), testing::ExitedWithCode(1),
		"tall.png: picture of 1x40000 is larger than " + std::to_string(side) + ", the largest texture side\n");
	EXPECT_EXIT(texture_c::load_image(wide.c_str(), GL_RGB), testing::ExitedWithCode(1),
		"wide.png: picture of " + std::to_string(side + 1) + "x2 is larger than ");
	// At the limit it loads, each row in its place.
	std::string edge = write_gradient("edge.png", 2, side);
	CaptureStderr();
	SDL_Surface* s = texture_c::load_image(edge.c_str(), GL_RGB);
	GetCapturedStderr();
	ASSERT_NE(s, nullptr);
	EXPECT_EQ(s->h, side);
	const unsigned char* bottom = (const unsigned char*)s->pixels;
	const unsigned char* top = bottom + (size_t)(side - 1) * s->pitch;
	EXPECT_EQ(bottom[1], 255);
	EXPECT_EQ(top[1], 0);
	SDL_FreeSurface(s);
}

// Writes the first `keep` bytes of a file to `to`.
static void cut_file(const std::string& from, const std::string& to, double keep)
{
	FILE* f = fopen(from.c_str(), "rb");
	std::vector<char> bytes(1 << 20);
	bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
	fclose(f);
	f = fopen(to.c_str(), "wb");
	fwrite(bytes.data(), 1, (size_t)(bytes.size() * keep), f);
	fclose(f);
}

TEST_F(EngineGL, PicturesCutShortStop)
{
	std::string jpg = write_gradient("whole.jpg", 64, 64);
	std::string png = write_gradient("whole.png", 64, 64);
	cut_file(jpg, tmpdir() + "/cut.jpg", 0.5);
	cut_file(png, tmpdir() + "/cut.png", 0.5);
	cut_file(png, tmpdir() + "/noend.png", 0.99);  // only IEND is missing
	cut_file(png, tmpdir() + "/back.png", 1.0);  // the chunk after IHDR: length 2^32 - 12, not -12
	FILE* f = fopen((tmpdir() + "/back.png").c_str(), "r+b");
	fseek(f, 33, SEEK_SET);
	fwrite("\xff\xff\xff\xf4", 1, 4, f), fclose(f);
	EXPECT_EXIT(texture_c::load_image((tmpdir() + "/cut.jpg").c_str(), GL_RGB), testing::ExitedWithCode(1),
		"cut.jpg: JPEG data ends before its end marker \\(file cut short\\?\\)\n");
	for (const char* name : { "/cut.png", "/noend.png", "/back.png" })
		EXPECT_EXIT(texture_c::load_image((tmpdir() + name).c_str(), GL_RGB), testing::ExitedWithCode(1),
			std::string(name + 1) + ": PNG without its header or with chunks past the end of the file \\(file cut short\\?\\)\n");
	// Cut inside the scan, with the end marker put back after the cut.
	cut_file(jpg, tmpdir() + "/marked.jpg", 0.8);
	f = fopen((tmpdir() + "/marked.jpg").c_str(), "ab");
	fputs("\xff\xd9", f);
	fclose(f);
	EXPECT_EXIT(texture_c::load_image((tmpdir() + "/marked.jpg").c_str(), GL_RGB), testing::ExitedWithCode(1),
		"marked.jpg: JPEG damaged or cut short \\(");
	for (const std::string& whole : { jpg, png }) {
		CaptureStderr();
		SDL_Surface* s = texture_c::load_image(whole.c_str(), GL_RGB);
		GetCapturedStderr();
		ASSERT_NE(s, nullptr);
		SDL_FreeSurface(s);
	}
}

static const char* quad_vs =
	"attribute vec2 pos;\nvoid main() { gl_Position = vec4(pos, 0.0, 1.0); }\n";
static const char* red_fs = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";

TEST_F(EngineGL, ShaderBuildsAndIsCurrent)
{
	shader_c s;
	s.init(quad_vs, red_fs);
	GLint current;
	glGetIntegerv(GL_CURRENT_PROGRAM, &current);
	EXPECT_EQ((GLuint)current, s.programid);
	EXPECT_GE(s.attrib("pos"), 0);
	EXPECT_EQ(s.uniform("nosuch"), -1);

	texture_c t = texture_c();
	glGenTextures(1, &t.textureid);
	s.texture("tex", 1, t);
	GLint unit;
	glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
	EXPECT_EQ(unit, GL_TEXTURE1);
	glActiveTexture(GL_TEXTURE0);

	float verts[4] = { 0, 0, 1, 1 };
	s.array("pos", 2, GL_FLOAT, 0, verts);
	GLint enabled;
	glGetVertexAttribiv(s.attrib("pos"), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
	EXPECT_EQ(enabled, 1);
	s.array("pos", 0, 0, 0, NULL);
	glGetVertexAttribiv(s.attrib("pos"), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
	EXPECT_EQ(enabled, 0);
}

// Names are looked up once; what comes back must stay what GL says for the
// program in use, also when one shader object is built again with another
// program, and for names that do not fit the table.
TEST_F(EngineGL, ShaderLocationsAreGlsForTheCurrentProgram)
{
	const char* vs_a =
		"attribute vec2 pos;\nattribute vec2 uv;\nuniform vec2 shift;\nuniform float scale;\n"
		"varying vec2 v_uv;\n"
		"void main() { v_uv = uv; gl_Position = vec4(pos * scale + shift, 0.0, 1.0); }\n";
	// the same names, declared the other way round, and one long name
	const char* vs_b =
		"attribute vec2 a_rather_long_attribute_name_for_no_table;\nattribute vec2 uv;\n"
		"attribute vec2 pos;\nuniform float scale;\nuniform vec2 shift;\nvarying vec2 v_uv;\n"
		"void main() { v_uv = uv + a_rather_long_attribute_name_for_no_table;\n"
		"  gl_Position = vec4(pos * scale + shift, 0.0, 1.0); }\n";
	const char* fs = FRAG_HEAD "varying vec2 v_uv;\nvoid main() { gl_FragColor = vec4(v_uv, 0.0, 1.0); }\n";
	const char* attribs[] = { "pos", "uv", "a_rather_long_attribute_name_for_no_table", "nosuch" };
	const char* uniforms[] = { "shift", "scale", "nosuch" };

	shader_c s;
	for (const char* vs : { vs_a, vs_b, vs_a }) {
		s.init(vs, fs);
		for (int pass = 0; pass < 2; pass++) {  // the second pass reads the table
			for (const char* name : attribs)
				EXPECT_EQ(s.attrib(name), glGetAttribLocation(s.programid, name)) << name << ", pass " << pass;
			for (const char* name : uniforms)
				EXPECT_EQ(s.uniform(name), glGetUniformLocation(s.programid, name)) << name << ", pass " << pass;
		}
	}
	// the two programs really place them differently, or this shows nothing
	shader_c a, b;
	a.init(vs_a, fs);
	b.init(vs_b, fs);
	EXPECT_TRUE(a.attrib("pos") != b.attrib("pos") || a.uniform("shift") != b.uniform("shift"));

	// a full table still answers
	shader_c many;
	many.init(vs_a, fs);
	char name[16];
	for (int i = 0; i < shader_c::max_locations + 4; i++) {
		snprintf(name, sizeof(name), "u%d", i);
		EXPECT_EQ(many.uniform(name), -1) << name;
	}
	EXPECT_EQ(many.uniform("scale"), glGetUniformLocation(many.programid, "scale"));
	EXPECT_GE(many.uniform("scale"), 0);
}

TEST_F(EngineGL, ShaderFailuresNameTheCondition)
{
	EXPECT_DEATH({
		shader_c s;
		s.init(quad_vs, "void main() { gl_FragColor = nonsense; }\n");
	}, "\\(src: 'void main\\(\\) \\{ gl_FragColor = nonsense; \\}\n'\\).*check failed: compiled");
	EXPECT_DEATH({
		shader_c s;
		s.init(quad_vs, "varying vec3 missing;\nvoid main() { gl_FragColor = vec4(missing, 1.0); }\n");
	}, "check failed: linked");
}

TEST_F(EngineGL, RenderTargetsSaveAndRestoreTheViewport)
{
	CaptureStderr();
	fbo_c a(32, 16, FBO_CLAMP);
	EXPECT_EQ(GetCapturedStderr(), "fbo ok!\n");
	GLint bound;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
	EXPECT_EQ((GLuint)bound, a.colortex);
	glBindTexture(GL_TEXTURE_2D, a.colortex);
	GLint wrap;
	glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
	EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);

	CaptureStderr();
	fbo_c b(8, 8, 0);
	GetCapturedStderr();
	glViewport(3, 4, 50, 20);
	a.bind();
	GLint vp[4];
	glGetIntegerv(GL_VIEWPORT, vp);
	EXPECT_EQ(vp[2], 32);
	EXPECT_EQ(vp[3], 16);
	glClearColor(0, 1, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	EXPECT_EQ(gltest_pixel(5, 5), 0xff00ff00u);

	// Binds do not nest: b saves a's viewport and returns to the window.
	b.bind();
	b.unbind();
	GLint fb;
	glGetIntegerv(GL_FRAMEBUFFER_BINDING, &fb);
	EXPECT_EQ(fb, 0);
	glGetIntegerv(GL_VIEWPORT, vp);
	EXPECT_EQ(vp[2], 32);
	a.unbind();
	glGetIntegerv(GL_VIEWPORT, vp);
	EXPECT_EQ(vp[0], 3);
	EXPECT_EQ(vp[1], 4);
	EXPECT_EQ(vp[2], 50);
	EXPECT_EQ(vp[3], 20);
	glViewport(0, 0, 64, 32);
}

// Top half of the window red, bottom half blue.
static void paint_halves(float red)
{
	glEnable(GL_SCISSOR_TEST);
	glScissor(0, 16, 64, 16);
	glClearColor(red, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	glScissor(0, 0, 64, 16);
	glClearColor(0, 0, 1, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	glDisable(GL_SCISSOR_TEST);
}

TEST_F(EngineGL, ScreenshotIsTopRowFirst)
{
	paint_halves(1.0f);
	SDL_Surface* s = get_screenshot(video_w, video_h);
	ASSERT_EQ(s->w, 64);
	Uint8* top = (Uint8*)s->pixels;
	Uint8* bottom = (Uint8*)s->pixels + 31 * s->pitch;
	EXPECT_EQ(top[0], 255);
	EXPECT_EQ(top[2], 0);
	EXPECT_EQ(bottom[0], 0);
	EXPECT_EQ(bottom[2], 255);
	SDL_FreeSurface(s);

	std::string path = tmpdir() + "/shot.bmp";
	save_screenshot(&path[0], video_w, video_h);
	SDL_Surface* bmp = SDL_LoadBMP(path.c_str());
	ASSERT_NE(bmp, nullptr);
	Uint32 tl = *(Uint32*)bmp->pixels;
	Uint8 r, g, b;
	SDL_GetRGB(tl, bmp->format, &r, &g, &b);
	EXPECT_EQ(r, 255);
	EXPECT_EQ(b, 0);
	SDL_FreeSurface(bmp);
}

TEST_F(EngineGL, BlurAveragesCountFramesIntoNumberedFiles)
{
	char old[4096];
	ASSERT_TRUE(getcwd(old, sizeof(old)));
	ASSERT_EQ(chdir(tmpdir().c_str()), 0);
	const float reds[8] = { 1, 0, 0, 0, 1, 1, 1, 1 };
	for (int f = 0; f < 8; f++) {
		paint_halves(reds[f]);
		screenshot_blur(f, 4, video_w, video_h);
	}
	SDL_Surface* first = SDL_LoadBMP("ss00000000.bmp");
	SDL_Surface* second = SDL_LoadBMP("ss00000001.bmp");
	ASSERT_NE(first, nullptr);
	ASSERT_NE(second, nullptr);
	Uint8 r, g, b;
	SDL_GetRGB(*(Uint32*)first->pixels, first->format, &r, &g, &b);
	EXPECT_EQ(r, 63);  // (255 + 0 + 0 + 0) / 4, truncated
	SDL_GetRGB(*(Uint32*)second->pixels, second->format, &r, &g, &b);
	EXPECT_EQ(r, 255);
	SDL_FreeSurface(first);
	SDL_FreeSurface(second);

	screenshot_blur(5, 1, video_w, video_h);
	EXPECT_EQ(access("ss00000005.bmp", F_OK), 0);

	CaptureStderr();
	screenshot_blur(0, 5, video_w, video_h);
	screenshot_blur(0, 0, video_w, video_h);
	EXPECT_EQ(GetCapturedStderr(), "screenshot_blur: frame 0, count 5 out of range\n"
				      "screenshot_blur: frame 0, count 0 out of range\n");
	ASSERT_EQ(chdir(old), 0);
}

TEST_F(EngineGL, NewsboxBatchesAndFlushesEarlyWhenFull)
{
	shader_c s;
	s.init("attribute vec2 pos;\nattribute vec2 uv;\nvarying vec2 v_uv;\n"
	       "void main() { v_uv = uv; gl_Position = vec4(pos / vec2(32.0, 16.0) - 1.0, 0.0, 1.0); }\n",
		"varying vec2 v_uv;\nvoid main() { gl_FragColor = vec4(v_uv, 1.0, 1.0); }\n");
	newsbox_render_c r;
	r.shader = &s;
	r.texsize_x = 64;
	r.texsize_y = 64;
	r.flush();  // nothing collected: no draw

	newsbox_c box;
	box.renderer = &r;
	box.set(32, 0, 0, 16);
	EXPECT_EQ(box.cs_x, 32);
	EXPECT_EQ(box.cs_y, 16);
	EXPECT_FLOAT_EQ(box.coords[0].u, 0.5f);  // x = 0 shows u = 0.5
	EXPECT_FLOAT_EQ(box.coords[1].u, 0.0f);  // x = 32 shows u = 0
	EXPECT_EQ(box.color[3], 1.0f);

	glClearColor(0, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	box.draw(0, 0, 0);
	box.draw(32, 16, 0);
	EXPECT_EQ(r.boxcount, 12);
	r.flush();
	EXPECT_EQ(r.boxcount, 0);
	EXPECT_EQ(gltest_pixel(40, 20) & 0xff0000, 0xff0000u);  // second box drawn
	EXPECT_EQ(gltest_pixel(40, 4), 0xff000000u);            // nothing beside them

	for (int i = 0; i < 170; i++)
		box.draw((float)(i % 2), 0, 0);
	EXPECT_EQ(r.boxcount, (170 - 166) * 6);
	r.flush();
}
