// TextAlertPresenter: the presenter used when none is installed; writes the
// alert to a stream (standard error) and answers the default button.
#pragma once

#include <cstdio>

#include "AlertPresenter.h"

class TextAlertPresenter : public AlertPresenter {
public:
	explicit TextAlertPresenter(FILE* stream = stderr);

	int32 Present(BAlert& alert) override;

private:
	FILE* fStream;
};
