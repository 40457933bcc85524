/* The yardstick of the benchmark: md4c, a fast Markdown-to-HTML library,
 * rendering a generated Markdown document of about the stress project's size.
 * It is only measured against, never used by the programs.
 *
 *   md4c_yardstick gen FILE SIZE   writes a Markdown document of SIZE bytes
 *   md4c_yardstick render IN OUT   renders IN to OUT in one write */
#include <md4c-html.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  char* data;
  size_t size, capacity;
} Buffer;

static void Put(Buffer* b, const char* text, size_t size) {
  if (b->size + size > b->capacity) {
    size_t capacity = b->capacity ? b->capacity : 65536;
    while (capacity < b->size + size)
      capacity *= 2;
    b->data = realloc(b->data, capacity);
    if (!b->data) {
      perror("realloc");
      exit(1);
    }
    b->capacity = capacity;
  }
  memcpy(b->data + b->size, text, size);
  b->size += size;
}

static void PutString(Buffer* b, const char* text) {
  Put(b, text, strlen(text));
}

static void Output(const MD_CHAR* text, MD_SIZE size, void* buffer) {
  Put((Buffer*)buffer, text, size);
}

static unsigned long state = 20240601;
static unsigned Below(unsigned n) {
  state = state * 6364136223846793005ul + 1442695040888963407ul;
  return (unsigned)(state >> 33) % n;
}

static const char* kWords[] = {"the",   "file",  "window", "option", "value",  "system",
                               "user",  "page",  "list",   "text",   "shows",  "returns",
                               "first", "next",  "line",   "data",   "glossary", "header",
                               "level", "table", "link",   "manual", "content", "setting"};

static void Sentence(Buffer* b, int words) {
  for (int i = 0; i < words; ++i) {
    const char* w = kWords[Below(sizeof kWords / sizeof *kWords)];
    unsigned roll = Below(100);
    if (i > 0)
      PutString(b, " ");
    if (roll < 5) {
      PutString(b, "*");
      PutString(b, w);
      PutString(b, "*");
    } else if (roll < 8) {
      PutString(b, "`");
      PutString(b, w);
      PutString(b, "`");
    } else if (roll < 11) {
      PutString(b, "[");
      PutString(b, w);
      PutString(b, "](http://www.example.org/");
      PutString(b, w);
      PutString(b, ")");
    } else if (roll < 13) {
      PutString(b, "**");
      PutString(b, w);
      PutString(b, "**");
    } else {
      PutString(b, w);
    }
  }
  PutString(b, ".");
}

static int Generate(const char* file, size_t size) {
  Buffer b = {0};
  while (b.size < size) {
    unsigned roll = Below(100);
    if (roll < 8) {
      PutString(&b, Below(3) == 0 ? "# " : "## ");
      Sentence(&b, 3 + (int)Below(4));
      PutString(&b, "\n\n");
    } else if (roll < 16) {
      for (int i = 0, n = 2 + (int)Below(4); i < n; ++i) {
        PutString(&b, "- ");
        Sentence(&b, 4 + (int)Below(8));
        PutString(&b, "\n");
      }
      PutString(&b, "\n");
    } else if (roll < 20) {
      PutString(&b, "```\nint value = 0; // <not a tag> & more\nfor (;;) ++value;\n```\n\n");
    } else {
      for (int s = 0, n = 2 + (int)Below(5); s < n; ++s) {
        Sentence(&b, 6 + (int)Below(14));
        PutString(&b, s + 1 < n ? " " : "\n\n");
      }
    }
  }
  FILE* f = fopen(file, "wb");
  if (!f || fwrite(b.data, 1, b.size, f) != b.size || fclose(f) != 0) {
    perror(file);
    return 1;
  }
  free(b.data);
  return 0;
}

static int Render(const char* in, const char* out) {
  FILE* f = fopen(in, "rb");
  if (!f) {
    perror(in);
    return 1;
  }
  Buffer source = {0};
  char chunk[1 << 16];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
    Put(&source, chunk, n);
  fclose(f);
  Buffer html = {0};
  if (md_html(source.data, (MD_SIZE)source.size, Output, &html, MD_DIALECT_COMMONMARK, 0) != 0) {
    fprintf(stderr, "md4c failed\n");
    return 1;
  }
  f = fopen(out, "wb");
  if (!f || fwrite(html.data, 1, html.size, f) != html.size || fclose(f) != 0) {
    perror(out);
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "gen") == 0)
    return Generate(argv[2], (size_t)strtoull(argv[3], NULL, 10));
  if (argc == 4 && strcmp(argv[1], "render") == 0)
    return Render(argv[2], argv[3]);
  fprintf(stderr, "usage: %s gen FILE SIZE | render IN OUT\n", argv[0]);
  return 2;
}
