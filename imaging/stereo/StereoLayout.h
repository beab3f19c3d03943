#pragma once

#include <opencv2/core/mat.hpp>

// The picture of one stereo format with its two views, A (left eye) and B (right eye), drawn
// straight into it. Each view starts as the starless sky, and a star pixel landing on it
// makes it sky + star light: the stars drawn on black with the sky added after, without two
// more full frames.
class StereoLayout {
public:
    // `format` as StereoCompose::Format; views of `viewSize`.
    StereoLayout(cv::Size viewSize, int format);

    // A label image of the view size (CV_32S) in the picture's memory while the sky is not
    // laid out yet, or an empty one where the picture is too small. A frame's worth of fresh
    // memory costs more than labelling it, and the peak memory drops by a frame of labels.
    cv::Mat labelRoom();
    // Ends the label image's use of the memory.
    void layOutSky(const cv::Mat& starless);

    void drawA(const cv::Vec3b& starLight, int y, int x) { a.draw(starLight, y, x, sky); }
    void drawB(const cv::Vec3b& starLight, int y, int x) { b.draw(starLight, y, x, sky); }

    // The finished picture; a half-width pair is squeezed only now.
    cv::Mat finish();

private:
    // An anaglyph's two views share one picture, each with its own channels.
    struct View {
        cv::Mat picture;
        cv::Vec3b channels; // 1 for each channel the view draws

        void draw(const cv::Vec3b& starLight, int y, int x, const cv::Mat& sky);
    };

    int format;
    cv::Mat memory;
    cv::Mat sky;
    View a, b;
};
