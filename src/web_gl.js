// The emulation's client-side vertex arrays upload as many vertices as a
// draw has indices, but an indexed draw may reach further into its arrays
// (the city draws each block's indices into the whole model): upload up to
// the largest index instead. Otherwise the emulation's own glDrawElements.
mergeInto(LibraryManager.library, {
  glDrawElements: function(mode, count, type, indices) {
    var vertices = count;
    var clientIndices = !GLctx.currentElementArrayBufferBinding;
    if (clientIndices) {
      var size = GL.calcBufLength(1, type, 0, count);
      GLctx.bindBuffer(0x8893 /*GL_ELEMENT_ARRAY_BUFFER*/, GL.getTempIndexBuffer(size));
      GLctx.bufferSubData(0x8893, 0, HEAPU8.subarray(indices, indices + size));
      var list = type == 0x1405 /*GL_UNSIGNED_INT*/ ? HEAPU32.subarray(indices >> 2, (indices >> 2) + count)
        : type == 0x1403 /*GL_UNSIGNED_SHORT*/ ? HEAPU16.subarray(indices >> 1, (indices >> 1) + count)
        : HEAPU8.subarray(indices, indices + count);
      var top = -1;
      for (var i = 0; i < count; i++)
        if (list[i] > top)
          top = list[i];
      vertices = top + 1;
      indices = 0;
    }
    GL.preDrawHandleClientVertexAttribBindings(vertices);
    GLctx.drawElements(mode, count, type, indices);
    GL.postDrawHandleClientVertexAttribBindings(vertices);
    if (clientIndices)
      GLctx.bindBuffer(0x8893, null);
  },
});
